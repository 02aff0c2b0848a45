// The face table and LOGFONT → QFont.
#include "platform/font_faces.h"

#include "platform/text_decoding.h"

#include <QFontMetricsF>
#include <QHash>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace plox {

namespace {

const QString SERIF = QStringLiteral("Liberation Serif");
const QString SANS = QStringLiteral("Liberation Sans");
const QString MONO = QStringLiteral("Liberation Mono");
const QString MINCHO = QStringLiteral("IPAMincho");
const QString GOTHIC = QStringLiteral("IPAGothic");
const QString PMINCHO = QStringLiteral("IPAPMincho");
const QString PGOTHIC = QStringLiteral("IPAPGothic");

struct FaceEntry {
    const char16_t* windows_face;
    const QString* installed;
};

// Known Windows faces (compared without case and without blanks).
const FaceEntry FACE_TABLE[] = {
    {u"Times New Roman", &SERIF},
    {u"Times", &SERIF},
    {u"Century", &SERIF},
    {u"Symbol", &SERIF},
    {u"Arial", &SANS},
    {u"Helvetica", &SANS},
    {u"MS Sans Serif", &SANS},
    {u"Courier New", &MONO},
    {u"Courier", &MONO},
    {u"ＭＳ 明朝", &MINCHO},
    {u"MS Mincho", &MINCHO},
    {u"ＭＳ Ｐ明朝", &PMINCHO},
    {u"MS PMincho", &PMINCHO},
    {u"ＭＳ ゴシック", &GOTHIC},
    {u"MS Gothic", &GOTHIC},
    {u"ＭＳ Ｐゴシック", &PGOTHIC},
    {u"MS PGothic", &PGOTHIC},
};

QString folded(QString s) {
    s.remove(QChar(' '));
    s.remove(QChar(0x3000));
    return s.toCaseFolded();
}

QString installed_face(const Font& font) {
    const QString face = folded(decode_cp932(font.face));
    for (const auto& e : FACE_TABLE)
        if (folded(QString::fromUtf16(e.windows_face)) == face) return *e.installed;
    // Unknown faces: Japanese names by their style word, the rest by the LOGFONT family.
    if (face.contains(QStringLiteral("明朝")) || face.contains(QStringLiteral("mincho")))
        return MINCHO;
    if (face.contains(QStringLiteral("ゴシック")) || face.contains(QStringLiteral("gothic")))
        return GOTHIC;
    switch (font.pitch_and_family & 0xF0) {
    case 0x20:
        return SANS; // FF_SWISS
    case 0x30:
        return MONO; // FF_MODERN
    default:
        break;
    }
    if (font.charset == SHIFTJIS_CHARSET) return MINCHO;
    return (font.pitch_and_family & 0x03) == 1 ? MONO : SERIF; // FIXED_PITCH
}

} // namespace

QStringList map_face(const Font& font) {
    const QString first = installed_face(font);
    QStringList families{first};
    const bool gothic = first == GOTHIC || first == PGOTHIC || first == SANS;
    for (const QString& f : {gothic ? GOTHIC : MINCHO, gothic ? MINCHO : GOTHIC})
        if (!families.contains(f)) families << f;
    return families;
}

double em_height(const Font& font) {
    if (font.height <= 0)
        return font.height == 0 ? 847.0 * 10 / 24 : -static_cast<double>(font.height);
    // A cell height: scale by the face's em-to-cell ratio, measured once per face.
    static QHash<QString, double> ratio;
    const QString face = installed_face(font);
    auto it = ratio.find(face);
    if (it == ratio.end()) {
        QFont probe(face);
        probe.setPixelSize(1000);
        const double cell = QFontMetricsF(probe).height();
        it = ratio.insert(face, cell > 0 ? 1000.0 / cell : 1.0);
    }
    return font.height * it.value();
}

QFont make_qfont(const Font& font) {
    QFont q;
    q.setFamilies(map_face(font));
    q.setPixelSize(std::max(1, static_cast<int>(std::lround(em_height(font)))));
    q.setHintingPreference(QFont::PreferNoHinting);
    q.setKerning(false);
    q.setStyleStrategy(QFont::PreferOutline);
    const int weight = font.weight <= 0 ? 400 : std::clamp(font.weight, 100, 900);
    q.setWeight(static_cast<QFont::Weight>(weight));
    q.setItalic(font.italic != 0);
    q.setUnderline(font.underline != 0);
    q.setStrikeOut(font.strike_out != 0);
    return q;
}

void install_face_substitutions() {
    for (const auto& e : FACE_TABLE)
        QFont::insertSubstitutions(QString::fromUtf16(e.windows_face),
                                   {*e.installed, MINCHO, GOTHIC});
}

} // namespace plox
