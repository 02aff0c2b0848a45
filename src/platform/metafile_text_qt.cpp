#include "platform/metafile_text_qt.h"

#include "platform/font_faces.h"
#include "platform/text_decoding.h"

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

} // namespace plox
