#include "platform/picture_loader_qt.h"

#include "document/file_access.h"
#include "output/metafile_player.h"
#include "platform/metafile_text_qt.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QString>

#include <algorithm>
#include <unistd.h>

namespace plox {

std::optional<Image> QtPictureLoader::load_bitmap(const std::string& path) {
    // Only a regular file: a FIFO or device named as a picture would stall or never end.
    const int fd = files::open_regular(path);
    if (fd < 0) return std::nullopt;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    QImageReader reader(&file);
    // A picture is drawn stretched to its box: refuse sizes no page could show.
    const QSize size = reader.size();
    if (size.isValid() && static_cast<qint64>(size.width()) * size.height() > 100'000'000)
        return std::nullopt;
    const QImage read = reader.read();
    if (read.isNull()) return std::nullopt;
    const QImage argb = read.convertToFormat(QImage::Format_ARGB32);
    Image image;
    image.width = argb.width();
    image.height = argb.height();
    image.pixels.resize(static_cast<size_t>(image.width) * static_cast<size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(argb.constScanLine(y));
        std::copy_n(line, image.width, image.pixels.data() + static_cast<size_t>(y) * image.width);
    }
    return image;
}

std::optional<Size> QtPictureLoader::draw_metafile(Surface& surface, const std::string& path,
                                                   int32_t left, int32_t top, int32_t width) {
    static const QtMetafileText text;
    return draw_metafile_picture(surface, path, left, top, width, text);
}

} // namespace plox
