// The About dialog's decisions: version text, mail link, link font sizes.
#include "state/aboutinfo.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

namespace {

std::string bar(const std::string& s) { return "|" + s + "|"; }

TEST(VersionText, IsTheNameAndTheFileVersionOrTheNameAlone) {
    const struct {
        const char* fileVersion;
        const char* text;
    } cases[] = {
        {"1.16", "Pexor V1.16"},
        {"1.0", "Pexor V1.0"},
        {"", "Pexor V"},  // a value that is there but empty
        {" 2 ", "Pexor V 2 "},
        {0, "Pexor"},
    };
    for (const auto& c : cases) {
        char buffer[VERSION_TEXT_CAPACITY];
        memset(buffer, 'x', sizeof buffer);
        EXPECT_EQ(formatVersionText(buffer, sizeof buffer, c.fileVersion), 1);
        EXPECT_EQ(bar(buffer), bar(c.text)) << bar(c.fileVersion ? c.fileVersion : "(none)");
    }
}

TEST(VersionText, LongValueIsCutToTheBuffer) {
    const std::string value(100, '9');
    char buffer[VERSION_TEXT_CAPACITY + 8];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(formatVersionText(buffer, VERSION_TEXT_CAPACITY, value.c_str()), 0);
    EXPECT_EQ(std::string(buffer), "Pexor V" + value.substr(0, VERSION_TEXT_CAPACITY - 8));
    EXPECT_EQ(buffer[VERSION_TEXT_CAPACITY - 1], '\0');
    EXPECT_EQ(buffer[VERSION_TEXT_CAPACITY], 'x') << "nothing written past the capacity";
}

TEST(MailLink, CarriesTheVersionTextAsSubjectUnencoded) {
    const struct {
        const char* subject;
        const char* link;
    } cases[] = {
        {"Pexor V1.16", "mailto:pexor@example.org?subject=Pexor V1.16"},
        {"Pexor", "mailto:pexor@example.org?subject=Pexor"},
        {"Pexor V1&2 ä", "mailto:pexor@example.org?subject=Pexor V1&2 ä"},
    };
    for (const auto& c : cases) {
        char link[LINK_TARGET_CAPACITY];
        EXPECT_EQ(formatMailLink(link, sizeof link, SUPPORT_ADDRESS, c.subject), 1);
        EXPECT_EQ(bar(link), bar(c.link));
    }
}

TEST(MailLink, LongestVersionTextFitsAndLongerInputIsCut) {
    char version[VERSION_TEXT_CAPACITY];
    formatVersionText(version, sizeof version, std::string(200, '7').c_str());
    char link[LINK_TARGET_CAPACITY];
    EXPECT_EQ(formatMailLink(link, sizeof link, SUPPORT_ADDRESS, version), 1);
    EXPECT_EQ(std::string(link), std::string("mailto:pexor@example.org?subject=") + version);

    const std::string subject(600, 's');
    char small[LINK_TARGET_CAPACITY + 4];
    memset(small, 'x', sizeof small);
    EXPECT_EQ(formatMailLink(small, LINK_TARGET_CAPACITY, SUPPORT_ADDRESS, subject.c_str()), 0);
    EXPECT_EQ(strlen(small), (size_t)LINK_TARGET_CAPACITY - 1);
    EXPECT_EQ(small[LINK_TARGET_CAPACITY], 'x');
}

TEST(LinkTargets, UseTheReservedExampleDomain) {
    EXPECT_STREQ(SUPPORT_ADDRESS, "pexor@example.org");
    EXPECT_STREQ(WEB_ADDRESS, "http://www.example.org");
}

// Height in tenths of a point, resolution in pixels per inch -> the font's
// height: the point in device units, then rounded half up to whole points.
TEST(PointFont, HeightIsTheNegativeCharacterHeightInPixels) {
    const struct {
        int32_t tenths;
        double resolution;
        int32_t device;
        int32_t height;
    } cases[] = {
        {80, 96, 106, -11},   // the links: 106.67 -> 106 -> -11
        {80, 120, 133, -13},
        {100, 96, 133, -13},
        {120, 96, 160, -16},
        {100, 72, 100, -10},  // whole points stay whole
        {75, 96, 100, -10},
        {63, 120, 105, -11},  // 10.5 is rounded up
        {0, 96, 0, 0},
        {-80, 96, -106, -11},  // the sign of the point is dropped
    };
    for (const auto& c : cases) {
        DevicePoint point = pointToDeviceUnits(0, c.tenths, c.resolution, c.resolution);
        EXPECT_EQ(point.y, c.device) << c.tenths << " tenths at " << c.resolution;
        EXPECT_EQ(pointFontFields(point.y, 0, 0).height, c.height) << c.tenths << " at " << c.resolution;
    }
}

TEST(PointFont, WidthScalesTheAverageCharacterWidth) {
    const struct {
        int32_t widthTenths, heightTenths, average, width;
    } cases[] = {
        {80, 80, 5, 5},      // as wide as high: the face's own width
        {40, 80, 5, 3},      // 53 x 5 / 106 = 2.5, rounded up
        {160, 80, 5, 10},
        {120, 80, 6, 9},     // 160 x 6 / 106 = 9.06
        {-40, 80, 5, 3},
    };
    for (const auto& c : cases) {
        DevicePoint point = pointToDeviceUnits(c.widthTenths, c.heightTenths, 96, 96);
        EXPECT_EQ(pointFontWidth(point.x, point.y, c.average), c.width)
            << c.widthTenths << "/" << c.heightTenths << " average " << c.average;
    }
    EXPECT_EQ(pointFontWidth(53, 0, 5), 0) << "no height, no width";
}

TEST(PointFont, XResolutionIsHeldInSinglePrecision) {
    // 640 pixels on 160 mm: 101.6 pixels per inch, as a float 101.59999847.
    double physical = physicalResolution(640, 160);
    EXPECT_DOUBLE_EQ(physical, 101.6);
    EXPECT_EQ(physicalResolution(1024, 0), 0.0) << "unknown size";
    // 90 tenths: 127.0000008 in double precision, 126.9999989 with the float.
    DevicePoint point = pointToDeviceUnits(90, 90, physical, physical);
    EXPECT_EQ(point.x, 126);
    EXPECT_EQ(point.y, 127);
    DevicePoint huge = pointToDeviceUnits(2000000000, 2000000000, 96, 96);
    EXPECT_EQ(huge.x, INT32_MAX) << "held to the range instead of overflowing";
    EXPECT_EQ(huge.y, INT32_MAX);
}

TEST(PointFont, AttributeBitsAndEscapementFillTheirFields) {
    const struct {
        uint32_t attributes;
        int32_t weight;
        int italic, underline, strikeOut;
    } cases[] = {
        {0, 0, 0, 0, 0},
        {FONT_BOLD, 700, 0, 0, 0},
        {FONT_ITALIC, 0, 1, 0, 0},
        {FONT_UNDERLINE, 0, 0, 1, 0},
        {FONT_STRIKEOUT, 0, 0, 0, 1},
        {15, 700, 1, 1, 1},
        {16, 0, 0, 0, 0},  // unknown bits are ignored
    };
    for (const auto& c : cases) {
        PointFontFields f = pointFontFields(106, c.attributes, 0);
        EXPECT_EQ(f.weight, c.weight) << c.attributes;
        EXPECT_EQ(f.italic, c.italic) << c.attributes;
        EXPECT_EQ(f.underline, c.underline) << c.attributes;
        EXPECT_EQ(f.strikeOut, c.strikeOut) << c.attributes;
    }
    const struct {
        int32_t escapement, field;
    } angles[] = {{0, 0}, {900, 900}, {-900, -900}, {3600, 3600}, {0x12345, 0x2345}, {0x18000, -0x8000}};
    for (const auto& a : angles) EXPECT_EQ(pointFontFields(106, 0, a.escapement).escapement, a.field);
}

}  // namespace
