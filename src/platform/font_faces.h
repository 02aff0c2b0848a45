// Windows face names of documents to the installed, metric-compatible faces, and the QFont
// that draws a LOGFONT in logical units (pixel size = em height, no hinting, no kerning) so
// text measures the same on every device.
#pragma once

#include "render/surface.h"

#include <QFont>
#include <QStringList>

namespace plox {

// Families for a face (bytes as stored, CP932), best first, ending with the CJK faces so that
// Japanese text always finds glyphs.
QStringList map_face(const Font& font);

// The em height in logical units of a LOGFONT height (negative: the em itself; positive: the
// cell height, converted with the face's own ascent and descent).
double em_height(const Font& font);

QFont make_qfont(const Font& font);

// Registers the face table as QFont substitutions, so widgets showing document faces use the
// same faces. Call once after the application object exists.
void install_face_substitutions();

} // namespace plox
