// The metafile writers' and player's text conversions through our CP932 and Symbol decoding,
// and the pictures of objects including metafiles.
#pragma once

#include "output/metafile_text.h"

namespace plox {

class QtMetafileText : public MetafileText {
public:
    std::u16string to_utf16(std::string_view bytes, uint8_t charset) const override;
    std::string from_utf16(std::u16string_view text, uint8_t charset) const override;
    // The installed face the screen draws the font with.
    std::u16string unicode_face(const Font& font) const override;
    std::optional<Image> decode_embedded_image(std::span<const uint8_t> file, int32_t width,
                                               int32_t height) const override;
};

} // namespace plox
