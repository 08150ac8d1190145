// Shared set-up of the headless backend tests: a plug-in window in a host window and a surface over it.
#pragma once

#include <gtest/gtest.h>

#include "gui/core/DrawSurface.h"
#include "gui/core/PluginWindow.h"
#include "gui/platform/cairo/DeviceContext.h"
#include "gui/platform/cairo/HeadlessSystem.h"
#include "gui/platform/cairo/HeadlessWindow.h"
#include "gui/platform/cairo/ScriptedInput.h"

#include <memory>

inline bool sameRgb(UiColor a, UiColor b) { return a.red == b.red && a.green == b.green && a.blue == b.blue; }

inline std::string rgbText(UiColor c) {
    return std::to_string(c.red) + "," + std::to_string(c.green) + "," + std::to_string(c.blue);
}

// A 120 by 80 plug-in window without an editor inside a host frame at screen (200, 100), with a window
// surface over its child window whose client area starts out black.
class HeadlessFixture : public ::testing::Test {
protected:
    void SetUp() override {
        ScriptedInput::instance().reset();
        HeadlessSystem::reset();
        host = std::make_unique<HeadlessWindow>(nullptr, UiRect{200, 100, 320, 180}, true);
        window = new PluginWindow(UiRect{0, 0, 120, 80}, host->handle(), nullptr);
        child = HeadlessWindow::fromHandle(window->getChildWindow());
        ASSERT_NE(child, nullptr);
        context = DeviceContext::forWindow(child);
        surface = std::make_unique<DrawSurface>(window, context, child);
        surface->setFillColour(colourBlack);
        surface->fillArea(UiRect{-1, -1, 120, 80});
    }

    void TearDown() override {
        surface.reset();
        DeviceContext::release(context);
        delete window;
        host.reset();
    }

    UiColor at(int32_t x, int32_t y) const { return child->pixel(x, y); }
    bool isBlack(int32_t x, int32_t y) const { return sameRgb(at(x, y), colourBlack); }
    bool is(int32_t x, int32_t y, UiColor c) const { return sameRgb(at(x, y), c); }

    // Columns and rows (inclusive bounds) of the pixels that are not black; false when none.
    bool litBox(UiRect& box) const {
        bool any = false;
        for (int32_t y = 0; y < child->height(); ++y) {
            for (int32_t x = 0; x < child->width(); ++x) {
                if (isBlack(x, y)) continue;
                if (!any) box = UiRect{x, y, x, y};
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x);
                box.bottom = std::max(box.bottom, y);
                any = true;
            }
        }
        return any;
    }

    int32_t countRgb(UiColor c) const {
        int32_t n = 0;
        for (int32_t y = 0; y < child->height(); ++y)
            for (int32_t x = 0; x < child->width(); ++x) n += is(x, y, c);
        return n;
    }

    std::unique_ptr<HeadlessWindow> host;
    PluginWindow* window = nullptr;
    HeadlessWindow* child = nullptr;
    DeviceContext* context = nullptr;
    std::unique_ptr<DrawSurface> surface;
};
