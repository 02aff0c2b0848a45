// Built-in GRA font slots and their settings storage.
#include "render/font_mapping.h"

#include <cstdio>

#include "settings/store.h"

namespace plox {

namespace {

LogFont slot_font(const char* face, uint8_t charset, uint8_t pitch_and_family) {
    LogFont f;
    f.height = -24;
    f.weight = 400;
    f.quality = 2;
    f.charset = charset;
    f.pitch_and_family = pitch_and_family;
    f.face = face;
    return f;
}

void put32(std::vector<uint8_t>& out, int32_t v) {
    auto u = static_cast<uint32_t>(v);
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}

int32_t get32(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 |
                                uint32_t(p[3]) << 24);
}

std::string value_name(int slot) {
    char name[24];
    std::snprintf(name, sizeof name, "Font%dAttr", slot + 1);
    return name;
}

} // namespace

FontMapping FontMapping::make_default() {
    FontMapping m;
    m.faces[0] = slot_font("Times New Roman", 0, 18);
    m.faces[1] = slot_font("Arial", 0, 18);
    // Face names are document bytes (Shift-JIS): "ＭＳ 明朝" and "ＭＳ ゴシック".
    m.faces[2] = slot_font("\x82\x6c\x82\x72 \x96\xbe\x92\xa9", 128, 18);
    m.faces[3] = slot_font("\x82\x6c\x82\x72 \x83\x53\x83\x56\x83\x62\x83\x4e", 128, 18);
    m.faces[4] = slot_font("Courier New", 0, 49);
    m.faces[5] = slot_font("Symbol", 2, 18);
    m.faces[5].out_precision = 3;
    m.faces[5].clip_precision = 2;
    return m;
}

std::vector<uint8_t> encode_logfont(const LogFont& font) {
    std::vector<uint8_t> out;
    out.reserve(LOGFONT_BYTES);
    put32(out, font.height);
    put32(out, font.width);
    put32(out, font.escapement);
    put32(out, font.orientation);
    put32(out, font.weight);
    for (uint8_t b : {font.italic, font.underline, font.strike_out, font.charset,
                      font.out_precision, font.clip_precision, font.quality, font.pitch_and_family})
        out.push_back(b);
    for (size_t i = 0; i < FACE_CAPACITY; ++i)
        out.push_back(i + 1 < FACE_CAPACITY && i < font.face.size() ? uint8_t(font.face[i]) : 0);
    return out;
}

std::optional<LogFont> decode_logfont(const std::vector<uint8_t>& bytes) {
    if (bytes.size() != LOGFONT_BYTES) return std::nullopt;
    const uint8_t* p = bytes.data();
    LogFont f;
    f.height = get32(p);
    f.width = get32(p + 4);
    f.escapement = get32(p + 8);
    f.orientation = get32(p + 12);
    f.weight = get32(p + 16);
    f.italic = p[20];
    f.underline = p[21];
    f.strike_out = p[22];
    f.charset = p[23];
    f.out_precision = p[24];
    f.clip_precision = p[25];
    f.quality = p[26];
    f.pitch_and_family = p[27];
    size_t n = 0;
    while (n < FACE_CAPACITY - 1 && p[28 + n] != 0)
        ++n;
    f.face.assign(reinterpret_cast<const char*>(p + 28), n);
    return f;
}

void read_font_mapping(const SettingsStore& store, FontMapping& mapping) {
    for (int i = 0; i < GRA_FONT_SLOTS; ++i) {
        auto bytes = store.read_binary(FONT_MAPPING_KEY, value_name(i));
        if (!bytes) continue;
        if (auto font = decode_logfont(*bytes)) mapping.faces[i] = *font;
    }
    store.read(FONT_MAPPING_KEY, "SymbolUse", mapping.SymbolUse);
}

void write_font_mapping(SettingsStore& store, const FontMapping& mapping) {
    for (int i = 0; i < GRA_FONT_SLOTS; ++i)
        store.write_binary(FONT_MAPPING_KEY, value_name(i), encode_logfont(mapping.faces[i]));
    store.write(FONT_MAPPING_KEY, "SymbolUse", mapping.SymbolUse);
}

} // namespace plox
