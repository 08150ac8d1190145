// UiScaleTest: panel units and device pixels map both ways without losing a position, and factors round
// to the nearest step.
#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "gui/core/UiScale.h"

TEST(UiScaleTest, EveryDevicePixelBelongsToTheUnitWhoseSpanHoldsIt) {
    for (int32_t percent : uiscale::kSteps) {
        for (int32_t unit = -60; unit < 800; ++unit) {
            const int32_t first = uiscale::toDevice(unit, percent), next = uiscale::toDevice(unit + 1, percent);
            ASSERT_GE(next - first, 1) << unit << " at " << percent;
            for (int32_t device = first; device < next; ++device)
                ASSERT_EQ(uiscale::toPanel(device, percent), unit) << device << " at " << percent;
        }
    }
    // A paint area in device pixels grows to whole units: pixels 2 and 3 at 150 % lie in units 1 and 2.
    const UiRect covered = uiscale::coveringPanel(UiRect{2, 2, 4, 4}, 150);
    EXPECT_EQ(covered.left, 1);
    EXPECT_EQ(covered.right, 3);
    EXPECT_EQ(uiscale::coveringPanel(UiRect{0, 0, 1143, 156}, 150).right, 762);
}

TEST(UiScaleTest, FactorsRoundToTheNearestStep) {
    const std::pair<double, int32_t> cases[] = {{0.5, 100}, {1.0, 100}, {1.24, 100}, {1.25, 150}, {1.5, 150},
                                                {1.74, 150}, {1.75, 200}, {2.0, 200}, {3.0, 200}, {std::nan(""), 100}};
    for (const auto& c : cases) EXPECT_EQ(uiscale::nearestStep(c.first), c.second) << c.first;
    EXPECT_EQ(uiscale::scaledResourceId(12, 100), 12);
    EXPECT_EQ(uiscale::scaledResourceId(13, 200), 2013);
}
