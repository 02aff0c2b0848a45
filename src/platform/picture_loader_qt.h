// Bitmap pictures of objects read with Qt's image readers.
#pragma once

#include "render/objects.h"

namespace plox {

class QtPictureLoader : public PictureLoader {
public:
    std::optional<Image> load_bitmap(const std::string& path) override;
};

} // namespace plox
