// The headless child window: paint and button messages routed into the plug-in window, invalidation,
// destruction, drops and the balance of its platform calls.
#include "tests/cairo/HeadlessFixture.h"

#include "gui/core/Platform.h"

#include <cstring>
#include <functional>
#include <new>

namespace {

// Paints its whole bounds in one colour and remembers what reached it.
class PatchWidget : public Widget {
public:
    PatchWidget(const UiRect& bounds, UiColor colour) : Widget(bounds), colour(colour) {}
    void draw(DrawSurface* surface) override {
        surface->setFillColour(colour);
        surface->fillArea(UiRect{bounds.left - 1, bounds.top - 1, bounds.right, bounds.bottom});
        ++draws;
        if (whileDrawing) whileDrawing();
        Widget::draw(surface);
    }
    void onMouseDown(DrawSurface*, const UiPoint& where) override {
        ++clicks;
        clickAt = where;
    }
    bool onDrop(const char* const* items, int32_t count, int32_t kind, const UiPoint& where) override {
        dropKind = kind;
        dropCount = count;
        dropWhere = where;
        dropFirst = count > 0 && items[0] ? items[0] : "";
        return acceptDrops;
    }
    UiColor colour;
    std::function<void()> whileDrawing;
    int32_t draws = 0;
    int32_t clicks = 0;
    UiPoint clickAt;
    bool acceptDrops = true;
    int32_t dropKind = -1;
    int32_t dropCount = 0;
    UiPoint dropWhere;
    std::string dropFirst;
};

// Runs out of memory whenever it draws or takes a click.
class OutOfMemoryWidget : public Widget {
public:
    using Widget::Widget;
    void draw(DrawSurface*) override { throw std::bad_alloc(); }
    void onMouseDown(DrawSurface*, const UiPoint&) override { throw std::bad_alloc(); }
};

}  // namespace

class HeadlessWindowTest : public HeadlessFixture {
protected:
    void SetUp() override {
        HeadlessFixture::SetUp();
        lower = new PatchWidget(UiRect{10, 10, 60, 60}, colourRed);
        upper = new PatchWidget(UiRect{40, 40, 100, 70}, colourGreen);
        window->addChild(lower);
        window->addChild(upper);
    }
    PatchWidget* lower = nullptr;
    PatchWidget* upper = nullptr;
};

TEST_F(HeadlessWindowTest, PaintDrawsOverlappingWidgetsClippedToTheUpdateArea) {
    child->paint();  // the first paint of the new window, then a black slate again
    lower->draws = upper->draws = 0;
    surface->setFillColour(colourBlack);
    surface->fillArea(UiRect{-1, -1, 120, 80});
    // Only the widgets touching the area are asked, and only the area's pixels change.
    EXPECT_TRUE(child->paint(UiRect{0, 0, 30, 30}));
    EXPECT_EQ(lower->draws, 1);
    EXPECT_EQ(upper->draws, 0);
    EXPECT_TRUE(is(20, 20, colourRed));
    EXPECT_TRUE(isBlack(35, 35));
    EXPECT_FALSE(window->isFirstDrawPending());
    EXPECT_FALSE(child->hasPendingPaint());

    // Nothing invalid: no paint.
    EXPECT_FALSE(child->paint(UiRect{}));
    EXPECT_EQ(lower->draws, 1);

    child->paint();
    EXPECT_TRUE(is(50, 50, colourGreen));  // the later child paints over the earlier one
    EXPECT_TRUE(is(20, 20, colourRed));
    // An area invalidated while a paint draws is not lost with the one being painted: the paint takes
    // its area before it draws.
    bool invalidated = false;
    lower->whileDrawing = [&] {
        if (!invalidated) child->invalidate(UiRect{0, 0, 5, 5});
        invalidated = true;
    };
    EXPECT_TRUE(child->paint(UiRect{0, 0, 30, 30}));
    EXPECT_TRUE(child->hasPendingPaint());
    EXPECT_TRUE(child->paint(UiRect{}));
    EXPECT_FALSE(child->hasPendingPaint());
}

TEST_F(HeadlessWindowTest, ANewWindowIsInvalidUntilOnePaintMessageIsDispatched) {
    surface.reset();
    DeviceContext::release(context);
    context = nullptr;
    // The fixture's host frame comes first in creation order and has nobody to draw it.
    platform::dispatchOnePaintMessage();
    EXPECT_TRUE(child->hasPendingPaint());
    platform::dispatchOnePaintMessage();
    EXPECT_FALSE(child->hasPendingPaint());
    EXPECT_EQ(lower->draws, 1);
    EXPECT_EQ(upper->draws, 1);
    platform::dispatchOnePaintMessage();
    EXPECT_EQ(HeadlessSystem::paintDispatches, 2);
    EXPECT_EQ(lower->draws, 1);
}

TEST_F(HeadlessWindowTest, ButtonDownGoesToTheTopmostChildUnderThePoint) {
    child->click(UiPoint{50, 50});
    EXPECT_EQ(upper->clicks, 1);
    EXPECT_EQ(lower->clicks, 0);
    child->mouseDown(MouseRight, UiPoint{20, 20});
    EXPECT_EQ(lower->clicks, 1);
    EXPECT_EQ(lower->clickAt.h, 20);

    // A point left of the window hits nobody.
    child->mouseDown(MouseLeft, UiPoint{-1, 20});
    EXPECT_EQ(lower->clicks + upper->clicks, 2);

    // A disabled child lets the click through to the one below.
    upper->setMouseEnabled(false);
    child->mouseDown(MouseLeft, UiPoint{50, 50});
    EXPECT_EQ(lower->clicks, 2);
}

TEST_F(HeadlessWindowTest, DestroyingTheHostClosesThePluginWindow) {
    surface.reset();
    DeviceContext::release(context);
    context = nullptr;
    window->addChild(new PatchWidget(UiRect{0, 0, 5, 5}, colourBlue));
    child->paint();
    host.reset();  // the host frame goes first, taking the child window with it
    EXPECT_FALSE(window->isOpen());
    EXPECT_EQ(window->getParentWindow(), nullptr);
    upper->setDirty(true);
    window->idle();  // draws nothing and touches no dead window
    EXPECT_EQ(upper->draws, 1);
    const int32_t useCount = HeadlessSystem::classUseCount;
    delete window;
    window = nullptr;
    EXPECT_EQ(HeadlessSystem::classUseCount, useCount - 1);
}

TEST_F(HeadlessWindowTest, PlatformCallsStayBalancedOverAWindowsLife) {
    const int32_t depth = HeadlessSystem::oleDepth();
    const int32_t uses = HeadlessSystem::classUseCount;
    const int32_t registrations = HeadlessSystem::classRegistrations;
    auto* second = new PluginWindow(UiRect{0, 0, 10, 10}, host->handle(), nullptr);
    EXPECT_EQ(HeadlessSystem::oleDepth(), depth + 1);
    EXPECT_EQ(HeadlessSystem::classUseCount, uses + 1);
    EXPECT_EQ(HeadlessSystem::classRegistrations, registrations);  // registered once for both
    second->setCursor(CursorVertical);
    EXPECT_EQ(HeadlessSystem::currentCursor, 32645);
    delete second;  // puts the saved cursor back
    EXPECT_EQ(HeadlessSystem::currentCursor, 32512);
    EXPECT_EQ(HeadlessSystem::oleDepth(), depth);
    EXPECT_EQ(HeadlessSystem::classUseCount, uses);
    EXPECT_TRUE(HeadlessSystem::classRegistered);
}

TEST_F(HeadlessWindowTest, DropsReachTheTopmostAcceptingChildAtTheCursor) {
    // Text travels with its terminating zero as the count.
    EXPECT_TRUE(child->dropText("hello", UiPoint{250, 150}));
    EXPECT_EQ(upper->dropKind, DropText);
    EXPECT_EQ(upper->dropCount, 6);
    EXPECT_EQ(upper->dropFirst, "hello");
    EXPECT_EQ(upper->dropWhere.h, 50);
    EXPECT_EQ(upper->dropWhere.v, 50);

    upper->acceptDrops = false;
    EXPECT_TRUE(child->dropFiles({"/tmp/a.wav", "/tmp/b.lnk"}, UiPoint{250, 150}));
    EXPECT_EQ(lower->dropKind, DropFiles);
    EXPECT_EQ(lower->dropCount, 2);
    EXPECT_EQ(lower->dropFirst, "/tmp/a.wav");

    // With a focus widget the window refuses before asking anyone.
    window->setFocusWidget(lower);
    lower->dropKind = -1;
    EXPECT_FALSE(child->dropText("x", UiPoint{220, 120}));
    EXPECT_EQ(lower->dropKind, -1);
    window->setFocusWidget(nullptr);

    // Once the drop target is revoked nothing arrives.
    EXPECT_TRUE(window->setDropActive(false));
    EXPECT_FALSE(child->dropText("x", UiPoint{220, 120}));
}

TEST_F(HeadlessWindowTest, WindowServicesWithoutAChildWindowFailLikeTheirPlatformCalls) {
    PluginWindow standalone(UiRect{0, 0, 50, 40}, "Standalone", nullptr, 0);
    EXPECT_EQ(standalone.getChildWindow(), nullptr);
    EXPECT_FALSE(standalone.setDropActive(true));
    EXPECT_TRUE(standalone.setDropActive(false));  // not active, nothing to revoke
    EXPECT_EQ(standalone.findHostFrame(), nullptr);
    int32_t x = 0, y = 0;
    EXPECT_FALSE(standalone.getPosition(x, y));
    UiRect area;
    EXPECT_FALSE(standalone.getSize(area));
    EXPECT_FALSE(standalone.setSize(60, 60));  // not open
    standalone.redrawWidget(nullptr);          // no surface to draw with, nothing happens
}

TEST_F(HeadlessWindowTest, HostFrameSizeAndResizingFollowTheWindowChain) {
    // A captioned frame with a dialog border of 3 around a container that holds the editor inside a
    // margin of its own (4 by 2).
    HeadlessWindow frame(nullptr, UiRect{100, 50, 230, 138}, true);
    HeadlessWindow container(frame.handle(), UiRect{3, 3, 127, 85});
    PluginWindow editorWindow(UiRect{0, 0, 120, 80}, container.handle(), nullptr);
    HeadlessWindow* editorChild = HeadlessWindow::fromHandle(editorWindow.getChildWindow());
    ASSERT_NE(editorChild, nullptr);
    EXPECT_EQ(editorChild->screenOrigin().h, 103);

    EXPECT_EQ(editorWindow.findHostFrame(), frame.handle());
    int32_t x = 0, y = 0;
    ASSERT_TRUE(editorWindow.getPosition(x, y));
    EXPECT_EQ(x, 100);
    EXPECT_EQ(y, 50);
    // The container's rectangle in its grand-parent's coordinates; it has none, so on the screen.
    UiRect area;
    ASSERT_TRUE(editorWindow.getSize(area));
    EXPECT_EQ(area.left, 103);
    EXPECT_EQ(area.top, 53);
    EXPECT_EQ(area.right, 227);
    EXPECT_EQ(area.bottom, 135);

    editorChild->paint();
    EXPECT_FALSE(editorWindow.setSize(120, 80));  // the current size
    EXPECT_TRUE(editorWindow.setSize(150, 90));
    EXPECT_EQ(editorChild->width(), 150);
    EXPECT_EQ(container.width(), 154);
    EXPECT_EQ(container.height(), 92);
    // The frame, the first window wider by twice the dialog frame, also keeps the container's margin.
    EXPECT_EQ(frame.width(), 160);
    EXPECT_EQ(frame.height(), 98);
    UiRect bounds;
    editorWindow.getBounds(bounds);
    EXPECT_EQ(bounds.right, 150);
    // The uncovered strips of the client area wait for a paint.
    EXPECT_TRUE(editorChild->hasPendingPaint());
}

// The failure reaches the caller's wall; the device context of the press or the paint goes all the same.
TEST_F(HeadlessWindowTest, AWidgetOutOfMemoryInAPressOrAPaintLeavesNoDeviceContext) {
    window->addChild(new OutOfMemoryWidget(UiRect{0, 0, 30, 30}));
    const int32_t live = HeadlessSystem::liveDeviceContexts;
    EXPECT_THROW(child->mouseDown(MouseLeft, UiPoint{5, 5}), std::bad_alloc);
    EXPECT_EQ(HeadlessSystem::liveDeviceContexts, live);
    EXPECT_THROW(child->paint(UiRect{0, 0, 30, 30}), std::bad_alloc);
    EXPECT_EQ(HeadlessSystem::liveDeviceContexts, live);
}
