// Metafile kind detection, natural size and the picture loader of annotation objects.
#include "output/metafile_player.h"

#include "output/emf_surface.h"
#include "output/metafile_player_internal.h"

#include <fstream>

namespace plox {

std::optional<MetafileInfo> metafile_info(std::span<const uint8_t> data) {
    const ByteReader d(data);
    if (const auto h = read_emf_header(d))
        return MetafileInfo{MetafileKind::Enhanced,
                            {h->frame.right - h->frame.left, h->frame.bottom - h->frame.top}};
    if (const auto h = read_wmf_header(d))
        if (const auto size = wmf_size(*h))
            return MetafileInfo{h->box ? MetafileKind::Placeable : MetafileKind::Plain, *size};
    return std::nullopt;
}

bool play_metafile(std::span<const uint8_t> data, Surface& surface, const Rect& target,
                   const MetafileText& text) {
    const ByteReader d(data);
    PlayerCanvas canvas(surface, text);
    if (const auto h = read_emf_header(d)) {
        play_emf(d, canvas, *h, target);
        return true;
    }
    if (const auto h = read_wmf_header(d); h && wmf_size(*h)) {
        play_wmf(d, canvas, *h, target);
        return true;
    }
    return false;
}

std::optional<std::vector<uint8_t>> read_file_bytes(const std::string& path, size_t limit) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) return std::nullopt;
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<uint64_t>(size) > limit) return std::nullopt;
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.seekg(0);
    if (!in.read(reinterpret_cast<char*>(bytes.data()), size)) return std::nullopt;
    return bytes;
}

std::optional<Size> draw_metafile_picture(Surface& surface, const std::string& path, int32_t left,
                                          int32_t top, int32_t width, const MetafileText& text) {
    const auto bytes = read_file_bytes(path, MAX_METAFILE_BYTES);
    if (!bytes) return std::nullopt;
    const auto info = metafile_info(*bytes);
    if (!info) return std::nullopt;
    const Size natural{std::max(1, reference_pixels(info->size.cx)),
                       std::max(1, reference_pixels(info->size.cy))};
    const int64_t height = int64_t{width} * info->size.cy / info->size.cx;
    if (width > 0 && height > 0 && height < (1 << 30))
        play_metafile(*bytes, surface,
                      {left, top, left + width, top + static_cast<int32_t>(height)}, text);
    return natural;
}

} // namespace plox
