// The About dialog's decisions: its version text, its mail link and the size
// arithmetic of its link font.
#include "aboutinfo.h"

#include "../base/textutil.h"

const char PRODUCT_NAME[] = "Pexor";
const char SUPPORT_ADDRESS[] = "pexor@example.org";
const char WEB_ADDRESS[] = "http://www.example.org";

// 1/72 as a float: 0.013888889, slightly more than 1/72.
static const float POINTS_PER_INCH_RECIPROCAL = 1.0f / 72.0f;
static const double MILLIMETRES_PER_INCH = 25.4;
enum { BOLD_WEIGHT = 700 };  // FW_BOLD

int formatVersionText(char* buffer, size_t capacity, const char* fileVersion) {
    int whole = copyText(buffer, capacity, PRODUCT_NAME);
    if (fileVersion == 0) return whole;
    whole &= appendText(buffer, capacity, " V");
    whole &= appendText(buffer, capacity, fileVersion);
    return whole;
}

int formatMailLink(char* buffer, size_t capacity, const char* address, const char* subject) {
    int whole = copyText(buffer, capacity, "mailto:");
    whole &= appendText(buffer, capacity, address);
    whole &= appendText(buffer, capacity, "?subject=");
    whole &= appendText(buffer, capacity, subject);
    return whole;
}

double physicalResolution(int32_t pixels, int32_t millimetres) {
    if (millimetres == 0) return 0.0;
    return MILLIMETRES_PER_INCH * pixels / millimetres;
}

// Truncated towards zero, held to the range of int32_t: a conversion of a
// value outside it would be undefined.
static int32_t truncateToInt32(double value) {
    if (!(value > -2147483648.0)) return value != value ? 0 : INT32_MIN;
    if (value >= 2147483647.0) return INT32_MAX;
    return (int32_t)value;
}

static double absolute(int32_t value) { return value < 0 ? -(double)value : (double)value; }

DevicePoint pointToDeviceUnits(int32_t widthTenths, int32_t heightTenths, double resolutionX,
                               double resolutionY) {
    const double k = POINTS_PER_INCH_RECIPROCAL;
    const float singleX = (float)resolutionX;
    DevicePoint point;
    point.x = truncateToInt32(widthTenths * (double)singleX * k);
    point.y = truncateToInt32(heightTenths * resolutionY * k);
    return point;
}

PointFontFields pointFontFields(int32_t logicalHeight, uint32_t attributes, int32_t escapement) {
    PointFontFields fields;
    fields.height = -truncateToInt32(absolute(logicalHeight) * 0.1 + 0.5);
    int32_t low = (int32_t)((uint32_t)escapement & 0xFFFFu);
    fields.escapement = low >= 0x8000 ? low - 0x10000 : low;
    fields.weight = (attributes & FONT_BOLD) ? BOLD_WEIGHT : 0;
    fields.italic = (attributes & FONT_ITALIC) ? 1 : 0;
    fields.underline = (attributes & FONT_UNDERLINE) ? 1 : 0;
    fields.strikeOut = (attributes & FONT_STRIKEOUT) ? 1 : 0;
    return fields;
}

int32_t pointFontWidth(int32_t logicalWidth, int32_t logicalHeight, int32_t averageCharWidth) {
    if (logicalHeight == 0) return 0;
    return truncateToInt32(absolute(logicalWidth) * averageCharWidth / absolute(logicalHeight) + 0.5);
}
