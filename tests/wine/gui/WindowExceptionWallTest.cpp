// The window procedure and the OLE drop target are walls: a widget that runs out of memory while it
// paints, takes a click or a drop throws into them, and nothing reaches USER32 or OLE.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>

#include <new>

#include "GuiTestSupport.h"
#include "TestDataObject.h"
#include "gui/core/PluginWindow.h"
#include "gui/core/Widget.h"

namespace {

// Throws what a failed allocation throws, wherever the window calls it.
class OutOfMemoryWidget : public Widget {
public:
    using Widget::Widget;
    void draw(DrawSurface*) override { fail(); }
    void onMouseDown(DrawSurface*, const UiPoint&) override { fail(); }
    bool acceptsDrop(int32_t, const UiPoint&) override { return fail(), true; }
    bool onDrop(const char* const*, int32_t, int32_t, const UiPoint&) override { return fail(), true; }
    int throws = 0;

private:
    void fail() {
        ++throws;
        throw std::bad_alloc();
    }
};

class WindowExceptionWallTest : public ::testing::Test {
protected:
    WindowExceptionWallTest() : parent(200, 100) {
        OleInitialize(nullptr);
        window = new PluginWindow(UiRect{0, 0, 200, 100}, parent.handle(), nullptr);
        widget = new OutOfMemoryWidget(UiRect{0, 0, 200, 100});
        window->addChild(widget);
        child = static_cast<HWND>(window->getChildWindow());
    }
    ~WindowExceptionWallTest() override {
        delete window;
        OleUninitialize();
    }

    ParentWindow parent;
    PluginWindow* window;
    OutOfMemoryWidget* widget;
    HWND child;
};

}  // namespace

TEST_F(WindowExceptionWallTest, PaintAndClickStayInsideTheWindowProcedure) {
    ASSERT_NE(child, nullptr);
    InvalidateRect(child, nullptr, FALSE);
    UpdateWindow(child);
    EXPECT_GE(widget->throws, 1);
    // The failed paint still validated its area: no paint message comes back for ever.
    EXPECT_FALSE(GetUpdateRect(child, nullptr, FALSE));

    const int before = widget->throws;
    EXPECT_EQ(SendMessageA(child, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 30)), 0);
    EXPECT_EQ(widget->throws, before + 1);
}

TEST_F(WindowExceptionWallTest, DragAndDropAreRefused) {
    RECT frame;
    GetWindowRect(child, &frame);
    ASSERT_TRUE(placeCursor(frame.left + 20, frame.top + 30));
    auto* target = static_cast<IDropTarget*>(GetPropA(child, "OleDropTargetInterface"));
    ASSERT_NE(target, nullptr);
    testdata::TestDataObject text = testdata::textData("abc");
    const POINTL inside{frame.left + 20, frame.top + 30};

    DWORD effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->DragEnter(&text, 0, inside, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(&text, 0, inside, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_GE(widget->throws, 2);
}
