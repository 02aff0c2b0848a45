// The GRA font-mapping table: which face stands for each of the six GRA font slots, and whether
// Shift-JIS Greek letters in GRA texts are drawn with the Symbol slot. Kept in the settings
// store as "Font1Attr" … "Font6Attr" (60-byte LOGFONT blocks) and "SymbolUse".
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "document/model.h"

namespace plox {

class SettingsStore;

inline constexpr int GRA_FONT_SLOTS = 6;
inline constexpr int GRA_SYMBOL_SLOT = 5;
// Under HKEY_CURRENT_USER: the key of the GRA companion program, not PloxWin's own.
inline constexpr std::string_view FONT_MAPPING_KEY = "Software\\Hexwold\\Wolvra\\Font";

struct FontMapping {
    std::array<LogFont, GRA_FONT_SLOTS> faces; // not "slots": a macro wherever Qt is included
    int32_t SymbolUse = 1;

    static FontMapping make_default();
};

// Windows LOGFONTA layout: five little-endian int32, eight bytes, a 32-byte NUL-padded face.
inline constexpr size_t LOGFONT_BYTES = 60;
std::vector<uint8_t> encode_logfont(const LogFont& font);
std::optional<LogFont> decode_logfont(const std::vector<uint8_t>& bytes);

// Reads the stored slots over `mapping`; a missing or malformed value keeps the slot as it is.
void read_font_mapping(const SettingsStore& store, FontMapping& mapping);
void write_font_mapping(SettingsStore& store, const FontMapping& mapping);

} // namespace plox
