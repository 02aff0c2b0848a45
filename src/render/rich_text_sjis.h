// Shift-JIS byte classes shared by the text code of the renderer.
#pragma once

namespace plox {

inline bool is_sjis_lead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
inline bool is_halfwidth_katakana(unsigned char c) {
    return c >= 0xA6 && c <= 0xDF;
}

} // namespace plox
