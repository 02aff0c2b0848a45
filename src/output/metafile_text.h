// Text conversions the metafile writers and the player need. Core knows no code pages, so the
// platform supplies CP932 and Symbol decoding; the defaults here handle ASCII and Latin-1, which
// is enough for tests and for files without Japanese text. The platform also decodes the JPEG
// and PNG files that bitmaps of a metafile may embed.
#pragma once

#include "render/surface.h"

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace plox {

inline constexpr uint8_t ANSI_CHARSET = 0;
inline constexpr uint8_t SYMBOL_FONT_CHARSET = 2;
inline constexpr uint8_t SHIFTJIS_FONT_CHARSET = 128;

class MetafileText {
public:
    virtual ~MetafileText() = default;
    // UTF-16 of document bytes drawn in a font of `charset`.
    virtual std::u16string to_utf16(std::string_view bytes, uint8_t charset) const;
    // Bytes for our surfaces from UTF-16 text of a metafile (characters without a byte form
    // become '?').
    virtual std::string from_utf16(std::u16string_view text, uint8_t charset) const;
    // The face and character set a Unicode font record names: a Symbol font's text is already
    // decoded to Unicode Greek, so it must be shown in a Unicode face.
    virtual std::u16string unicode_face(const Font& font) const;
    virtual uint8_t unicode_charset(const Font& font) const;
    // An embedded JPEG or PNG file as exactly `width` × `height` pixels; nullopt here.
    virtual std::optional<Image> decode_embedded_image(std::span<const uint8_t> file, int32_t width,
                                                       int32_t height) const;
};

// The face name a byte-coded (Windows) metafile's font record carries: the Japanese system faces
// by their ASCII names, which Windows maps to the same fonts and which readers that take the
// name as UTF-8 cannot misread; other names unchanged.
std::string portable_face_name(std::string_view face);

// Splits document bytes into characters: in every character set but Symbol a Shift-JIS lead
// byte takes the byte after it.
std::vector<std::string_view> split_characters(std::string_view bytes, uint8_t charset);

} // namespace plox
