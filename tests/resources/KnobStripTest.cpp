// KnobStripTest: the film strip's pointer turns clockwise over 270 degrees, every frame a whole knob.
#include <cmath>

#include "tests/resources/ResourceFixture.h"

namespace {

constexpr int kFrameHeight = 37;
constexpr double kPi = 3.14159265358979323846;
// The knob's centre inside a frame (between pixel columns 20 and 21, on the line between rows 18 and 19).
constexpr double kCentreX = 21.0, kCentreY = 19.0;

double distanceFromCentre(int x, int y) { return std::hypot(x + 0.5 - kCentreX, y + 0.5 - kCentreY); }

// Direction (degrees, counter-clockwise from the right) and reach of the bright pointer on the knob body.
void measurePointer(const BmpImage& strip, int frame, double& degrees, double& reach) {
    double sx = 0, sy = 0;
    int count = 0;
    reach = 0;
    for (int y = 0; y < kFrameHeight; ++y) {
        for (int x = 0; x < strip.width; ++x) {
            const uint32_t p = strip.at(x, frame * kFrameHeight + y);
            if (distanceFromCentre(x, y) > 13 || std::min({red(p), green(p), blue(p)}) < 200) continue;
            sx += x + 0.5 - kCentreX;
            sy += kCentreY - (y + 0.5);
            reach = std::max(reach, distanceFromCentre(x, y));
            ++count;
        }
    }
    degrees = count ? std::atan2(sy, sx) * 180 / kPi : NAN;
}

class KnobStrip : public ::testing::Test {
  protected:
    void SetUp() override {
        strip = loadBitmap(13);
        panel = loadBitmap(12);
        ASSERT_EQ(strip.error, "");
        ASSERT_EQ(panel.error, "");
    }
    BmpImage strip, panel;
};

}  // namespace

TEST_F(KnobStrip, PointerSweepsClockwiseFromLowerLeftToLowerRight) {
    for (int frame = 0; frame < 65; ++frame) {
        double degrees, reach;
        measurePointer(strip, frame, degrees, reach);
        double expected = 225.0 - 270.0 * frame / 64;
        if (expected > 180) expected -= 360;
        EXPECT_NEAR(degrees, expected, 3.0) << "frame " << frame;
        EXPECT_GT(reach, 9.0) << "frame " << frame;  // the pointer runs out to the rim
    }
    double lowerLeft, up, lowerRight, reach;
    measurePointer(strip, 0, lowerLeft, reach);
    measurePointer(strip, 32, up, reach);
    measurePointer(strip, 64, lowerRight, reach);
    EXPECT_NEAR(lowerLeft, -135.0, 2.0);
    EXPECT_NEAR(up, 90.0, 2.0);
    EXPECT_NEAR(lowerRight, -45.0, 2.0);
}

TEST_F(KnobStrip, EveryFrameHasTheSameScaleRingOnThePanelBlue) {
    for (int frame = 0; frame < 65; ++frame) {
        for (int y = 0; y < kFrameHeight; ++y) {
            // Outer columns: the panel blue of the rows the knobs sit on (column 95 of the panel is open blue).
            const uint32_t blue = panel.at(95, 39 + y);
            ASSERT_EQ(strip.at(0, frame * kFrameHeight + y), blue) << frame << "," << y;
            ASSERT_EQ(strip.at(41, frame * kFrameHeight + y), blue) << frame << "," << y;
            // Beyond the knob body only the ring is drawn, identical in every frame.
            for (int x = 0; x < strip.width; ++x) {
                if (distanceFromCentre(x, y) < 14.5) continue;
                ASSERT_EQ(strip.at(x, frame * kFrameHeight + y), strip.at(x, y)) << frame << ":" << x << "," << y;
            }
        }
    }
    // The ring: eleven light ticks from the minimum to the maximum, none in the gap at the bottom.
    for (int tick = 0; tick <= 11; ++tick) {
        const double angle = (225.0 - 27.0 * tick) * kPi / 180;
        const int cx = int(std::floor(kCentreX + 16 * std::cos(angle)));
        const int cy = int(std::floor(kCentreY - 16 * std::sin(angle)));
        int lightest = 0;  // a thin tick may fall between pixels: the best of the 3 x 3 around the spot
        for (int y = cy - 1; y <= cy + 1; ++y) {
            for (int x = cx - 1; x <= cx + 1; ++x) {
                const uint32_t p = strip.at(x, y);
                lightest = std::max(lightest, red(p) + green(p) + blue(p));
            }
        }
        if (tick <= 10) {
            EXPECT_GT(lightest, 550) << "tick " << tick;
        } else {
            EXPECT_LT(lightest, 330) << "no tick in the bottom gap";  // the panel blue sums to about 300
        }
    }
}
