// Pictures of objects: bitmaps read with Qt's image readers, metafiles through our player.
#pragma once

#include "render/objects.h"

namespace plox {

class QtPictureLoader : public PictureLoader {
public:
    std::optional<Image> load_bitmap(const std::string& path) override;
    std::optional<Size> draw_metafile(Surface& surface, const std::string& path, int32_t left,
                                      int32_t top, int32_t width) override;
};

} // namespace plox
