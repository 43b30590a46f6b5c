// The About dialog's decisions: version text, mail link, link font sizes.
#include "state/aboutinfo.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

// Texts are written into a buffer whose bytes past capacity must stay 'x'.
TEST(AboutTexts, VersionTextAndMailLinkAreCutToTheirBuffers) {
    const std::string v100(100, '9'), cut = "Pexor V" + v100.substr(0, VERSION_TEXT_CAPACITY - 8);
    const std::string mail = "mailto:pexor@example.org?subject=";
    const struct { const char* version; size_t capacity; int whole; std::string text; } versions[] = {
        {"1.16", VERSION_TEXT_CAPACITY, 1, "Pexor V1.16"}, {"", 8, 1, "Pexor V"},  // there but empty
        {" 2 ", 11, 1, "Pexor V 2 "}, {nullptr, 6, 1, "Pexor"}, {nullptr, 5, 0, "Pexo"}, {"1", 8, 0, "Pexor V"},
        {v100.c_str(), VERSION_TEXT_CAPACITY, 0, cut},
    };
    for (const auto& c : versions) {
        char buffer[VERSION_TEXT_CAPACITY + 1];
        memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(formatVersionText(buffer, c.capacity, c.version), c.whole) << c.capacity;
        EXPECT_EQ("|" + std::string(buffer) + "|", "|" + c.text + "|") << c.capacity;
        EXPECT_EQ(buffer[c.capacity], 'x');
    }
    const std::string longSubject(600, 's');
    const struct { std::string subject; int whole; std::string link; } links[] = {
        {"Pexor V1&2 ä", 1, mail + "Pexor V1&2 ä"},  // as it is
        {cut, 1, mail + cut}, {longSubject, 0, (mail + longSubject).substr(0, LINK_TARGET_CAPACITY - 1)},
    };
    for (const auto& c : links) {
        char link[LINK_TARGET_CAPACITY + 1];
        memset(link, 'x', sizeof link);
        EXPECT_EQ(formatMailLink(link, LINK_TARGET_CAPACITY, SUPPORT_ADDRESS, c.subject.c_str()), c.whole);
        EXPECT_EQ("|" + std::string(link) + "|", "|" + c.link + "|");
    }
    EXPECT_STREQ(WEB_ADDRESS, "http://www.example.org");
}

// Height in tenths of a point at a resolution in pixels per inch: the point
// in device units, then the font's height rounded half up to whole points.
TEST(PointFont, HeightAndWidthFollowThePointAndTheResolution) {
    const struct { int32_t tenths; double resolution; int32_t device, height; } heights[] = {
        {80, 96, 106, -11},  // the links: 106.67 -> 106 -> -11
        {80, 120, 133, -13}, {100, 96, 133, -13}, {120, 96, 160, -16}, {100, 72, 100, -10},  // whole points stay
        {75, 96, 100, -10},  {63, 120, 105, -11},  // 10.5 is rounded up
        {0, 96, 0, 0},       {-80, 96, -106, -11},  // the sign is dropped
    };
    for (const auto& c : heights) {
        DevicePoint point = pointToDeviceUnits(0, c.tenths, c.resolution, c.resolution);
        EXPECT_EQ(point.y, c.device) << c.tenths << " tenths at " << c.resolution;
        EXPECT_EQ(pointFontFields(point.y, 0, 0).height, c.height) << c.tenths << " at " << c.resolution;
    }
    // The average character width scaled by width / height, rounded half up.
    const struct { int32_t widthTenths, average, width; } widths[] = {
        {80, 5, 5}, {40, 5, 3} /* 2.5 */, {160, 5, 10}, {120, 6, 9} /* 9.06 */, {-40, 5, 3},
    };
    for (const auto& c : widths) {
        DevicePoint point = pointToDeviceUnits(c.widthTenths, 80, 96, 96);
        EXPECT_EQ(pointFontWidth(point.x, point.y, c.average), c.width) << c.widthTenths << " " << c.average;
    }
    EXPECT_EQ(pointFontWidth(53, 0, 5), 0) << "no height, no width";
    // 640 pixels on 160 mm: 101.6 pixels per inch, held as the float 101.59999847
    // for x: 90 tenths are 127.0000008 in double precision, 126.9999989 so.
    double physical = physicalResolution(640, 160);
    EXPECT_DOUBLE_EQ(physical, 101.6);
    EXPECT_EQ(physicalResolution(1024, 0), 0.0) << "unknown size";
    DevicePoint point = pointToDeviceUnits(90, 90, physical, physical);
    DevicePoint huge = pointToDeviceUnits(2000000000, -2000000000, 96, 96);  // held to the range
    EXPECT_EQ(std::vector<int32_t>({point.x, point.y, huge.x, huge.y}),
              std::vector<int32_t>({126, 127, INT32_MAX, INT32_MIN}));
}

TEST(PointFont, AttributeBitsAndEscapementFillTheirFields) {
    const struct { uint32_t attributes; int32_t weight; int italic, underline, strikeOut; } cases[] = {
        {0, 0, 0, 0, 0}, {FONT_BOLD, 700, 0, 0, 0},      {FONT_ITALIC, 0, 1, 0, 0}, {FONT_UNDERLINE, 0, 0, 1, 0},
        {FONT_STRIKEOUT, 0, 0, 0, 1}, {15, 700, 1, 1, 1}, {16, 0, 0, 0, 0},  // unknown bits are ignored
    };
    for (const auto& c : cases) {
        PointFontFields f = pointFontFields(106, c.attributes, 0);
        EXPECT_EQ(std::vector<int>({f.weight, f.italic, f.underline, f.strikeOut}),
                  std::vector<int>({c.weight, c.italic, c.underline, c.strikeOut})) << c.attributes;
    }
    const struct { int32_t escapement, field; } angles[] = {
        {0, 0}, {900, 900}, {-900, -900}, {3600, 3600}, {0x12345, 0x2345}, {0x18000, -0x8000},
    };
    for (const auto& a : angles) EXPECT_EQ(pointFontFields(106, 0, a.escapement).escapement, a.field) << a.escapement;
}

}  // namespace
