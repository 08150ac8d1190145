// Value types: rectangle edge rules and intersection, the colour word, the widget base rules.
#include <gtest/gtest.h>

#include "gui/core/UiTypes.h"
#include "tests/gui/GuiTestSupport.h"

namespace {

TEST(UiTypesTest, RectangleEdgeRules) {
    UiRect r{10, 10, 20, 20};
    EXPECT_TRUE(r.contains({10, 10}));
    EXPECT_FALSE(r.contains({20, 15}));  // half-open
    EXPECT_FALSE(r.contains({15, 20}));
    EXPECT_TRUE(r.containsInclusive({20, 20}));
    EXPECT_FALSE(r.containsInclusive({21, 20}));
    EXPECT_TRUE((UiRect{5, 5, 5, 9}).isEmpty());
    EXPECT_TRUE((UiRect{5, 9, 8, 2}).isEmpty());
    EXPECT_FALSE(r.isEmpty());
}

TEST(UiTypesTest, BoundToIntersectsAndNeverInverts) {
    UiRect a{0, 0, 100, 50};
    a.boundTo({20, 10, 200, 40});
    EXPECT_EQ(a.left, 20);
    EXPECT_EQ(a.top, 10);
    EXPECT_EQ(a.right, 100);
    EXPECT_EQ(a.bottom, 40);

    UiRect apart{0, 0, 10, 10};
    apart.boundTo({50, 60, 70, 80});  // disjoint: collapses onto the other's corner
    EXPECT_EQ(apart.left, 50);
    EXPECT_EQ(apart.right, 50);
    EXPECT_EQ(apart.top, 60);
    EXPECT_EQ(apart.bottom, 60);
    EXPECT_TRUE(apart.isEmpty());
}

TEST(UiTypesTest, OverlapCountsATouchingEdgeOnEachSide) {
    const UiRect r{10, 10, 20, 20};
    struct Case {
        UiRect other;
        bool overlaps;
    };
    const Case cases[] = {{{0, 12, 10, 18}, true},  {{0, 12, 9, 18}, false},     // left
                          {{20, 12, 30, 18}, true}, {{21, 12, 30, 18}, false},   // right
                          {{12, 0, 18, 10}, true},  {{12, 0, 18, 9}, false},     // top
                          {{12, 20, 18, 30}, true}, {{12, 21, 18, 30}, false}};  // bottom
    for (const Case& c : cases)
        EXPECT_EQ(r.overlapsInclusive(c.other), c.overlaps)
            << c.other.left << "," << c.other.top << "," << c.other.right << "," << c.other.bottom;
}

TEST(UiTypesTest, ColourTravelsAsOneWordWithRedLowest) {
    UiColor c{0x12, 0x34, 0x56, 0x78};
    EXPECT_EQ(c.toWord(), 0x78563412u);
    EXPECT_EQ(c.rgb(), 0x563412u);
    EXPECT_EQ(UiColor::fromWord(0x78563412u), c);
    EXPECT_TRUE(c.sameRgb(UiColor{0x12, 0x34, 0x56, 0}));
    EXPECT_EQ(colourGrey.toWord(), 0x007F7F7Fu);
    EXPECT_EQ(colourDefaultTransparent, colourWhite);
}

TEST(UiTypesTest, WidgetBaseRules) {
    int alive = 0;
    auto* w = new ProbeWidget({10, 10, 20, 20}, "w", nullptr, &alive);
    EXPECT_FALSE(w->isDirty());  // a new widget is clean
    EXPECT_TRUE(w->overlaps({20, 20, 30, 30}));
    EXPECT_FALSE(w->overlaps({21, 20, 30, 30}));
    EXPECT_TRUE(w->hitTest({20, 20}, -1));
    UiRect area;
    w->getMouseArea(area);
    EXPECT_EQ(area.right, 20);  // starts as the bounds
    w->setBounds({0, 0, 5, 5});
    EXPECT_TRUE(w->isDirty());
    EXPECT_EQ(w->getEditor(), nullptr);
    w->redraw();  // no window: nothing
    w->retain();
    w->release();
    EXPECT_EQ(alive, 1);
    w->release();
    EXPECT_EQ(alive, 0);
}

}  // namespace
