// Latin-1 defaults of the metafile text conversions and the Shift-JIS character split.
#include "output/metafile_text.h"

namespace plox {

std::u16string MetafileText::to_utf16(std::string_view bytes, uint8_t) const {
    std::u16string out;
    out.reserve(bytes.size());
    for (const char c : bytes)
        out.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    return out;
}

std::string MetafileText::from_utf16(std::u16string_view text, uint8_t) const {
    std::string out;
    out.reserve(text.size());
    for (const char16_t c : text)
        out.push_back(c < 0x100 ? static_cast<char>(c) : '?');
    return out;
}

std::u16string MetafileText::unicode_face(const Font& font) const {
    if (font.charset == SYMBOL_FONT_CHARSET) return u"Times New Roman";
    return to_utf16(font.face, font.charset);
}

uint8_t MetafileText::unicode_charset(const Font& font) const {
    return font.charset == SYMBOL_FONT_CHARSET ? ANSI_CHARSET : font.charset;
}

std::vector<std::string_view> split_characters(std::string_view bytes, uint8_t charset) {
    std::vector<std::string_view> out;
    for (size_t i = 0; i < bytes.size();) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        const bool lead = charset != SYMBOL_FONT_CHARSET &&
                          ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC));
        const size_t n = lead && i + 1 < bytes.size() ? 2 : 1;
        out.push_back(bytes.substr(i, n));
        i += n;
    }
    return out;
}

std::optional<Image> MetafileText::decode_embedded_image(std::span<const uint8_t>, int32_t,
                                                         int32_t) const {
    return std::nullopt;
}

std::string portable_face_name(std::string_view face) {
    // Shift-JIS spellings of "ＭＳ 明朝", "ＭＳ Ｐ明朝", "ＭＳ ゴシック", "ＭＳ Ｐゴシック".
    static constexpr std::pair<std::string_view, std::string_view> names[] = {
        {"\x82\x6C\x82\x72\x20\x96\xBE\x92\xA9", "MS Mincho"},
        {"\x82\x6C\x82\x72\x20\x82\x6F\x96\xBE\x92\xA9", "MS PMincho"},
        {"\x82\x6C\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4E", "MS Gothic"},
        {"\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E", "MS PGothic"},
    };
    for (const auto& [japanese, ascii] : names)
        if (face == japanese) return std::string(ascii);
    return std::string(face);
}

} // namespace plox
