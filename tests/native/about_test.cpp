// The About dialog's decisions: version text, mail link, link font size.
#include "state/aboutinfo.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

namespace {

// The caption from the running program's version ("Pexor" when it has none)
// and the mail link with the caption as its subject, as is. (The About box's
// buffers hold any of them whole.)
TEST(AboutTexts, VersionTextAndMailLink) {
    char text[VERSION_TEXT_CAPACITY], link[LINK_TARGET_CAPACITY];
    for (const char* version : {"1.16", "", (const char*)nullptr}) {
        EXPECT_EQ(formatVersionText(text, sizeof text, version), 1);
        EXPECT_STREQ(text, version == nullptr ? "Pexor" : version[0] ? "Pexor V1.16" : "Pexor V");
    }
    EXPECT_EQ(formatMailLink(link, sizeof link, SUPPORT_ADDRESS, "Pexor V1&2 \xE4"), 1);
    EXPECT_STREQ(link, "mailto:pexor@example.org?subject=Pexor V1&2 \xE4");
    EXPECT_STREQ(WEB_ADDRESS, "http://www.example.org");
}

// The links' font on displays of any logical resolution: the point in device
// units, then the font's height rounded half up to whole points.
TEST(PointFont, HeightFollowsThePointAndTheResolution) {
    const struct { int32_t tenths; double resolution; int32_t device, height; } heights[] = {
        {80, 96, 106, -11}, {80, 120, 133, -13}, {100, 72, 100, -10}, {63, 120, 105, -11}, {-80, 96, -106, -11}};
    for (const auto& c : heights) {
        DevicePoint point = pointToDeviceUnits(0, c.tenths, c.resolution, c.resolution);
        PointFontFields f = pointFontFields(point.y, FONT_UNDERLINE, 0);
        EXPECT_EQ(std::vector<int>({point.y, f.height, f.underline, f.weight, f.italic, f.escapement}),
                  std::vector<int>({c.device, c.height, 1, 0, 0, 0})) << c.tenths << " at " << c.resolution;
    }
}

}  // namespace
