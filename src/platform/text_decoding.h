// Document text bytes to Unicode for drawing: CP932 (Shift-JIS with the Windows extensions)
// for every character set but Symbol, whose bytes go through the Adobe Symbol encoding so a
// Unicode font shows the Greek letters and signs (a → α, 0xB4 → ×).
#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

namespace plox {

inline constexpr uint8_t SYMBOL_CHARSET = 2;
inline constexpr uint8_t SHIFTJIS_CHARSET = 128;

QString decode_cp932(std::string_view bytes);
// What the user typed, as document bytes (characters CP932 lacks become "?").
std::string encode_cp932(const QString& text);
QString decode_symbol(std::string_view bytes);
// The text of `bytes` drawn in a font of character set `charset`.
QString decode_text(std::string_view bytes, uint8_t charset);

} // namespace plox
