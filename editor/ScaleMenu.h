// ScaleMenu: the editor's size menu, opened by a secondary-button click anywhere on the panel.
#pragma once

#include <cstdint>
#include <functional>

#include "gui/core/Widget.h"

// Drawn by the toolkit itself, so it looks and behaves alike on every backend and needs no keys (hosts
// on Linux often keep them). While open it is the window's modal widget: a click on an item chooses
// that scale, a click anywhere else closes it.
class ScaleMenu : public Widget {
public:
    // choose: called with the picked step (also the one in use); current: the step in use, marked.
    ScaleMenu(std::function<void(int32_t)> choose, std::function<int32_t()> current);

    void draw(DrawSurface* surface) override;
    void onMouseDown(DrawSurface* surface, const UiPoint& where) override;
    bool hitTest(const UiPoint& where, int32_t buttons) override;

    bool isShown() const;
    // The step of the item at where, or 0 outside the items.
    int32_t stepAt(const UiPoint& where) const;

    static constexpr int32_t kItemWidth = 46;
    static constexpr int32_t kItemHeight = 13;
    static constexpr int32_t kPadding = 2;

private:
    void show(const UiPoint& where);
    void hide();

    std::function<void(int32_t)> choose;
    std::function<int32_t()> current;
};
