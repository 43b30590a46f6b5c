// The About dialog's decisions: version text, mail link, link font size.
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

// The links' font on displays of any logical resolution: the point in device
// units, then the font's height rounded half up to whole points. (The About
// box asks for no width, attributes but underline, escapement or physical
// resolution.)
TEST(PointFont, HeightFollowsThePointAndTheResolution) {
    const struct { int32_t tenths; double resolution; int32_t device, height; } heights[] = {
        {80, 96, 106, -11},  // the links: 106.67 -> 106 -> -11
        {80, 120, 133, -13}, {100, 96, 133, -13}, {120, 96, 160, -16}, {100, 72, 100, -10},  // whole points stay
        {75, 96, 100, -10},  {63, 120, 105, -11},  // 10.5 is rounded up
        {0, 96, 0, 0},       {-80, 96, -106, -11},  // the sign is dropped
    };
    for (const auto& c : heights) {
        DevicePoint point = pointToDeviceUnits(0, c.tenths, c.resolution, c.resolution);
        EXPECT_EQ(point.y, c.device) << c.tenths << " tenths at " << c.resolution;
        PointFontFields f = pointFontFields(point.y, FONT_UNDERLINE, 0);
        EXPECT_EQ(std::vector<int>({f.height, f.underline, f.weight, f.italic, f.strikeOut, f.escapement}),
                  std::vector<int>({c.height, 1, 0, 0, 0, 0})) << c.tenths << " at " << c.resolution;
    }
}

}  // namespace
