// MeterPictureTest: the meter pictures are 12 lamps of 8 pixels in the colours of their roles.
#include <algorithm>

#include "tests/resources/ResourceFixture.h"

namespace {

enum class Hue { Green, Amber, Red, Other };

Hue hueOf(uint32_t p) {
    const int r = red(p), g = green(p), b = blue(p);
    if (g > r && g > b) return Hue::Green;
    if (r > g && g > b && g * 100 > r * 45) return Hue::Amber;
    if (r > g && r > b) return Hue::Red;
    return Hue::Other;
}

int brightest(uint32_t p) { return std::max({red(p), green(p), blue(p)}); }

struct Meter {
    int id;
    bool lit;
    bool allGreen;
};

}  // namespace

TEST(MeterPictures, TwelveLampsOfEightPixelsInTheColoursOfTheirRoles) {
    for (const Meter& m : {Meter{14, true, false}, Meter{15, false, false}, Meter{24, true, true},
                           Meter{25, false, true}}) {
        SCOPED_TRACE("bitmap " + std::to_string(m.id));
        const BmpImage image = loadBitmap(m.id);
        ASSERT_EQ(image.error, "");
        for (int s = 0; s < 12; ++s) {
            const Hue role = m.allGreen || s < 7 ? Hue::Green : (s < 11 ? Hue::Amber : Hue::Red);
            for (int x = 8 * s; x < 8 * s + 7; ++x) {
                const uint32_t p = image.at(x, 3);
                EXPECT_EQ(hueOf(p), role) << "segment " << s << " column " << x;
                if (m.lit) {
                    EXPECT_GE(brightest(p), 200) << "segment " << s;
                } else {
                    EXPECT_LE(brightest(p), 110) << "segment " << s;
                }
            }
            for (int y = 0; y < 6; ++y) {
                EXPECT_LT(brightest(image.at(8 * s + 7, y)), 40) << "gap after segment " << s;
            }
        }
    }
}

// The meter shows the lit picture on one side of a segment boundary and the unlit one on the other: the gaps
// must match, and the green lamps of both kinds of meter look alike.
TEST(MeterPictures, LitAndUnlitPicturesJoinWithoutASeam) {
    const BmpImage lit = loadBitmap(14), unlit = loadBitmap(15), greenLit = loadBitmap(24), greenUnlit = loadBitmap(25);
    for (int y = 0; y < 6; ++y) {
        for (int x = 0; x < 96; ++x) {
            if (x % 8 == 7) {
                EXPECT_EQ(lit.at(x, y), unlit.at(x, y));
                EXPECT_EQ(greenLit.at(x, y), greenUnlit.at(x, y));
            }
            if (x < 56) {
                EXPECT_EQ(lit.at(x, y), greenLit.at(x, y));
                EXPECT_EQ(unlit.at(x, y), greenUnlit.at(x, y));
            }
        }
    }
}
