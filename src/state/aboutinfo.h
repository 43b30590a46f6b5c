// What the About dialog shows and opens, decided without the platform: the
// version text of its caption, the mail link to the support address, and the
// size arithmetic of its point-sized link font.
#ifndef PEXOR_ABOUTINFO_H
#define PEXOR_ABOUTINFO_H

#include <stddef.h>
#include <stdint.h>

enum {
    VERSION_TEXT_CAPACITY = 60,   // "Pexor V" and the FileVersion value
    LINK_TARGET_CAPACITY = 500,   // a mail link or the web address
    FONT_FACE_CAPACITY = 32       // LOGFONT's face name: 31 characters
};

extern const char PRODUCT_NAME[];     // "Pexor"
extern const char SUPPORT_ADDRESS[];  // the support e-mail address
extern const char WEB_ADDRESS[];      // the maker's web address

// "Pexor V<fileVersion>", or "Pexor" when fileVersion is null (no version
// resource, or the value is missing). Returns 0 when the text was cut to fit.
int formatVersionText(char* buffer, size_t capacity, const char* fileVersion);

// "mailto:<address>?subject=<subject>". The subject goes in as it is, blanks
// included. Returns 0 when the link was cut to fit.
int formatMailLink(char* buffer, size_t capacity, const char* address, const char* subject);

// Attribute bits of a point font.
enum { FONT_BOLD = 1, FONT_ITALIC = 2, FONT_UNDERLINE = 4, FONT_STRIKEOUT = 8 };

// Pixels per inch from a screen's size in pixels and in millimetres; 0 when
// the size in millimetres is unknown (0).
double physicalResolution(int32_t pixels, int32_t millimetres);

// A point of tenths of a point (x: the width, y: the height) in device units
// at the given resolutions (pixels per inch): tenths x resolution x k, where k
// is 1/72 held in single precision (a hair above 1/72, so that whole points
// never come out one unit short), truncated towards zero. The x resolution is
// held in single precision too; the rest is computed in double precision.
struct DevicePoint {
    int32_t x;
    int32_t y;
};
DevicePoint pointToDeviceUnits(int32_t widthTenths, int32_t heightTenths, double resolutionX,
                               double resolutionY);

// The fields of the logical font for a point font, from its height in
// logical units (still in tenths of a point), the attribute bits and the
// escapement in tenths of a degree. The height is rounded half up to whole
// points; the escapement keeps its low 16 bits as a signed value.
struct PointFontFields {
    int32_t height;      // negative: a character height, not a cell height
    int32_t escapement;  // also the orientation
    int32_t weight;      // 700 bold, else 0 (the face's default weight)
    uint8_t italic;
    uint8_t underline;
    uint8_t strikeOut;
};
PointFontFields pointFontFields(int32_t logicalHeight, uint32_t attributes, int32_t escapement);

// The width of a point font with a requested width: the face's average
// character width at the font's natural height, scaled by the ratio of the
// requested width to the height (both in logical units), rounded half up.
// 0 (the natural width) when logicalHeight is 0.
int32_t pointFontWidth(int32_t logicalWidth, int32_t logicalHeight, int32_t averageCharWidth);

#endif
