// A plug-in window whose making runs out of memory at any allocation leaves no child window in the host's
// window: the k-th allocation of the construction fails, for every k until one succeeds.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <new>

#include "GuiTestSupport.h"
#include "gui/core/PluginWindow.h"

// While armed, the allocations of this program are counted and the failAt-th throws. The nothrow forms
// call this one and answer null.
namespace {
bool armed = false;
long allocations = 0;
long failAt = 0;
}  // namespace

void* operator new(std::size_t size) {
    if (armed && ++allocations == failAt) throw std::bad_alloc();
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

BOOL CALLBACK countWindow(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

int childrenOf(HWND parent) {
    int count = 0;
    EnumChildWindows(parent, countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

TEST(PluginWindowOpenFailureTest, AFailedAllocationLeavesNoChildWindow) {
    ParentWindow parent(200, 100);
    for (long k = 1; k < 1000; ++k) {
        SCOPED_TRACE("allocation " + std::to_string(k));
        PluginWindow* window = nullptr;
        allocations = 0;
        failAt = k;
        armed = true;
        try {
            window = new PluginWindow(UiRect{0, 0, 200, 100}, parent.handle(), nullptr);
        } catch (const std::bad_alloc&) {
        }
        armed = false;
        const bool failed = k <= allocations;
        if (!window) {
            EXPECT_TRUE(failed);
            EXPECT_EQ(childrenOf(parent.handle()), 0);
            continue;
        }
        EXPECT_EQ(childrenOf(parent.handle()), 1);
        delete window;
        EXPECT_EQ(childrenOf(parent.handle()), 0);
        if (!failed) return;  // made with nothing failing: every allocation has had its turn
    }
    ADD_FAILURE() << "the window never got made";
}

}  // namespace
