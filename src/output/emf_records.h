// Record types and constants of enhanced and Windows metafiles that the writers and the player
// share (values of the published metafile formats).
#pragma once

#include <cstdint>

namespace plox::emr {
inline constexpr uint32_t HEADER = 1, POLYBEZIER = 2, POLYGON = 3, POLYLINE = 4, POLYBEZIERTO = 5,
                          POLYLINETO = 6, POLYPOLYLINE = 7, POLYPOLYGON = 8, SETWINDOWEXTEX = 9,
                          SETWINDOWORGEX = 10, SETVIEWPORTEXTEX = 11, SETVIEWPORTORGEX = 12,
                          EOF_ = 14, SETMAPMODE = 17, SETBKMODE = 18, SETPOLYFILLMODE = 19,
                          SETROP2 = 20, SETTEXTALIGN = 22, SETTEXTCOLOR = 24, SETBKCOLOR = 25,
                          OFFSETCLIPRGN = 26, MOVETOEX = 27, EXCLUDECLIPRECT = 29,
                          INTERSECTCLIPRECT = 30, SCALEVIEWPORTEXTEX = 31, SCALEWINDOWEXTEX = 32,
                          SAVEDC = 33, RESTOREDC = 34, SETWORLDTRANSFORM = 35,
                          MODIFYWORLDTRANSFORM = 36, SELECTOBJECT = 37, CREATEPEN = 38,
                          CREATEBRUSHINDIRECT = 39, DELETEOBJECT = 40, ELLIPSE = 42, RECTANGLE = 43,
                          ROUNDRECT = 44, ARC = 45, CHORD = 46, PIE = 47, LINETO = 54, ARCTO = 55,
                          BEGINPATH = 59, ENDPATH = 60, CLOSEFIGURE = 61, FILLPATH = 62,
                          STROKEANDFILLPATH = 63, STROKEPATH = 64, ABORTPATH = 68,
                          EXTSELECTCLIPRGN = 75, BITBLT = 76, STRETCHBLT = 77, STRETCHDIBITS = 81,
                          EXTCREATEFONTINDIRECTW = 82, EXTTEXTOUTA = 83, EXTTEXTOUTW = 84,
                          POLYBEZIER16 = 85, POLYGON16 = 86, POLYLINE16 = 87, POLYBEZIERTO16 = 88,
                          POLYLINETO16 = 89, POLYPOLYLINE16 = 90, POLYPOLYGON16 = 91,
                          EXTCREATEPEN = 95, SELECTCLIPPATH = 67, CREATEMONOBRUSH = 93,
                          CREATEDIBPATTERNBRUSHPT = 94, FILLRGN = 71, PAINTRGN = 74;
inline constexpr uint32_t SIGNATURE = 0x464D4520; // " EMF"
inline constexpr uint32_t STOCK_OBJECT = 0x80000000;
} // namespace plox::emr

namespace plox::wmr {
inline constexpr uint16_t EOF_ = 0x0000, SAVEDC = 0x001E, REALIZEPALETTE = 0x0035,
                          SETBKMODE = 0x0102, SETMAPMODE = 0x0103, SETROP2 = 0x0104,
                          SETPOLYFILLMODE = 0x0106, SETTEXTALIGN = 0x012E,
                          SELECTCLIPREGION = 0x012C, SELECTOBJECT = 0x012D, RESTOREDC = 0x0127,
                          DELETEOBJECT = 0x01F0, SETBKCOLOR = 0x0201, SETTEXTCOLOR = 0x0209,
                          SETWINDOWORG = 0x020B, SETWINDOWEXT = 0x020C, SETVIEWPORTORG = 0x020D,
                          SETVIEWPORTEXT = 0x020E, OFFSETWINDOWORG = 0x020F,
                          OFFSETVIEWPORTORG = 0x0211, LINETO = 0x0213, MOVETO = 0x0214,
                          CREATEPENINDIRECT = 0x02FA, CREATEFONTINDIRECT = 0x02FB,
                          CREATEBRUSHINDIRECT = 0x02FC, POLYGON = 0x0324, POLYLINE = 0x0325,
                          SCALEWINDOWEXT = 0x0410, SCALEVIEWPORTEXT = 0x0412,
                          EXCLUDECLIPRECT = 0x0415, INTERSECTCLIPRECT = 0x0416, ELLIPSE = 0x0418,
                          RECTANGLE = 0x041B, TEXTOUT = 0x0521, POLYPOLYGON = 0x0538,
                          ROUNDRECT = 0x061C, ARC = 0x0817, PIE = 0x081A, CHORD = 0x0830,
                          DIBBITBLT = 0x0940, EXTTEXTOUT = 0x0A32, DIBSTRETCHBLT = 0x0B41,
                          STRETCHDIB = 0x0F43, CREATEPALETTE = 0x00F7, CREATEPATTERNBRUSH = 0x01F9,
                          DIBCREATEPATTERNBRUSH = 0x0142, CREATEREGION = 0x06FF,
                          OFFSETCLIPRGN = 0x0220, PATBLT = 0x061D, FILLREGION = 0x0228,
                          PAINTREGION = 0x012B;
inline constexpr uint32_t PLACEABLE_KEY = 0x9AC6CDD7;
} // namespace plox::wmr

namespace plox::gdi {
inline constexpr uint32_t MM_TEXT = 1, MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4,
                          MM_HIENGLISH = 5, MM_TWIPS = 6, MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8;
inline constexpr uint32_t RGN_AND = 1, RGN_COPY = 5;
inline constexpr uint32_t SRCCOPY = 0x00CC0020;
inline constexpr uint32_t BS_SOLID = 0, BS_NULL = 1, BS_HATCHED = 2, BS_PATTERN = 3;
inline constexpr uint32_t PS_NULL = 5;
} // namespace plox::gdi
