#include "platform/metafile_text_qt.h"

#include "platform/font_faces.h"
#include "platform/text_decoding.h"

#include <QBuffer>
#include <QImage>
#include <QImageReader>
#include <QStringEncoder>

namespace plox {

std::u16string QtMetafileText::to_utf16(std::string_view bytes, uint8_t charset) const {
    return decode_text(bytes, charset).toStdU16String();
}

std::string QtMetafileText::from_utf16(std::u16string_view text, uint8_t charset) const {
    if (charset == SYMBOL_FONT_CHARSET) return MetafileText::from_utf16(text, charset);
    QStringEncoder encode("windows-31j");
    const QString s = QString::fromStdU16String(std::u16string(text));
    QByteArray out;
    // Character by character, so that one without a CP932 form becomes '?' alone.
    for (qsizetype i = 0; i < s.size(); ++i) {
        const qsizetype n = s[i].isHighSurrogate() && i + 1 < s.size() ? 2 : 1;
        const QByteArray b = encode.encode(s.mid(i, n));
        out += encode.hasError() || b.isEmpty() ? QByteArray("?") : b;
        encode.resetState();
        i += n - 1;
    }
    return out.toStdString();
}

std::u16string QtMetafileText::unicode_face(const Font& font) const {
    const QStringList faces = map_face(font);
    if (faces.isEmpty()) return MetafileText::unicode_face(font);
    return faces.front().toStdU16String();
}

// The file's own header must give the size the bitmap header promised before anything is
// decoded, so a hostile file cannot make the reader allocate more than that.
std::optional<Image> QtMetafileText::decode_embedded_image(std::span<const uint8_t> file,
                                                           int32_t width, int32_t height) const {
    QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(file.data()),
                                               static_cast<qsizetype>(file.size()));
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::ReadOnly)) return std::nullopt;
    QImageReader reader(&buffer);
    if (reader.format() != "png" && reader.format() != "jpeg") return std::nullopt;
    if (reader.size() != QSize(width, height)) return std::nullopt;
    const QImage decoded = reader.read().convertToFormat(QImage::Format_ARGB32);
    if (decoded.isNull() || decoded.size() != QSize(width, height)) return std::nullopt;
    Image image;
    image.width = width;
    image.height = height;
    image.pixels.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const uint32_t*>(decoded.constScanLine(y));
        image.pixels.insert(image.pixels.end(), line, line + width);
    }
    return image;
}

} // namespace plox
