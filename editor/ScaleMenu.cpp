// ScaleMenu: placing, drawing and answering the size menu.
#include "editor/ScaleMenu.h"

#include <cstdio>
#include <utility>

#include "gui/core/DrawSurface.h"
#include "gui/core/PluginWindow.h"
#include "gui/core/UiScale.h"

namespace {
constexpr UiColor menuFill{236, 239, 244, 0};
constexpr UiColor menuFrame{30, 40, 64, 0};
constexpr UiColor markFill{42, 92, 171, 0};  // the panel's blue marks the scale in use
constexpr UiColor textColour{13, 28, 64, 0};
constexpr int32_t menuFont = 3;
}  // namespace

ScaleMenu::ScaleMenu(std::function<void(int32_t)> choose, std::function<int32_t()> current)
    : Widget(UiRect{}), choose(std::move(choose)), current(std::move(current)) {}

bool ScaleMenu::isShown() const { return window && window->getModalWidget() == this; }

// While shown, every click is the menu's: on an item it chooses, elsewhere it closes.
bool ScaleMenu::hitTest(const UiPoint&, int32_t) { return true; }

int32_t ScaleMenu::stepAt(const UiPoint& where) const {
    const int32_t left = bounds.left + kPadding, top = bounds.top + kPadding;
    if (where.h < left || where.h >= left + kItemWidth || where.v < top) return 0;
    const int32_t item = (where.v - top) / kItemHeight;
    return item < uiscale::kStepCount ? uiscale::kSteps[item] : 0;
}

void ScaleMenu::show(const UiPoint& where) {
    if (!window || !window->setModalWidget(this)) return;
    UiRect area;
    window->getBounds(area);
    const int32_t width = kItemWidth + 2 * kPadding, height = uiscale::kStepCount * kItemHeight + 2 * kPadding;
    // Opens at the pointer, pushed back inside the panel near its right and bottom edges.
    const int32_t left = where.h + width > area.right ? area.right - width : where.h;
    const int32_t top = where.v + height > area.bottom ? area.bottom - height : where.v;
    bounds = UiRect{left < 0 ? 0 : left, top < 0 ? 0 : top, 0, 0};
    bounds.right = bounds.left + width;
    bounds.bottom = bounds.top + height;
    redraw();
}

void ScaleMenu::hide() {
    if (!isShown()) return;
    window->setModalWidget(nullptr);
    window->redrawWidget(nullptr);  // the panel under the menu
}

void ScaleMenu::onMouseDown(DrawSurface*, const UiPoint& where) {
    if (!isShown()) {
        show(where);
        return;
    }
    const int32_t step = stepAt(where);
    hide();
    if (step != 0 && choose) choose(step);
}

void ScaleMenu::draw(DrawSurface* surface) {
    if (!surface || !isShown()) return;
    surface->setFillColour(menuFill);
    surface->fillArea(UiRect{bounds.left - 1, bounds.top - 1, bounds.right, bounds.bottom});
    surface->setFrameColour(menuFrame);
    surface->drawFrame(UiRect{bounds.left, bounds.top, bounds.right - 1, bounds.bottom - 1});
    surface->setFont(menuFont, 0, 0);
    const int32_t inUse = current ? current() : 0;
    for (int32_t i = 0; i < uiscale::kStepCount; ++i) {
        const int32_t step = uiscale::kSteps[i];
        const UiRect item{bounds.left + kPadding, bounds.top + kPadding + i * kItemHeight,
                          bounds.left + kPadding + kItemWidth, bounds.top + kPadding + (i + 1) * kItemHeight};
        if (step == inUse) {
            surface->setFillColour(markFill);
            surface->fillArea(UiRect{item.left - 1, item.top - 1, item.right, item.bottom});
        }
        surface->setFontColour(step == inUse ? colourWhite : textColour);
        char text[8];
        std::snprintf(text, sizeof text, "%d%%", int(step));
        surface->drawText(text, item, false, AlignCentre);
    }
    setDirty(false);
}
