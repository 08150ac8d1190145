// Widget: the base behaviour of every visible element.
#include "gui/core/Widget.h"

#include "gui/core/PluginWindow.h"

const char kMsgCheckIfViewContainer[] = "kMsgCheckIfViewContainer";

Widget::Widget(const UiRect& bounds) : bounds(bounds), mouseArea(bounds) {}

Widget::~Widget() = default;

void Widget::draw(DrawSurface*) { setDirty(false); }

void Widget::drawArea(DrawSurface* surface, const UiRect&) { draw(surface); }

bool Widget::overlaps(const UiRect& area) { return bounds.overlapsInclusive(area); }

void Widget::onMouseDown(DrawSurface*, const UiPoint&) {}

void Widget::update(DrawSurface* surface) {
    if (isDirty()) {
        draw(surface);
        setDirty(false);
    }
}

int32_t Widget::notify(Widget*, const char*) { return 0; }

int32_t Widget::onKeyDown(const UiKey&) { return -1; }

int32_t Widget::onKeyUp(const UiKey&) { return -1; }

bool Widget::onDrop(const char* const*, int32_t, int32_t, const UiPoint&) { return false; }
bool Widget::acceptsDrop(int32_t, const UiPoint&) { return false; }

bool Widget::onWheel(DrawSurface*, const UiPoint&, float) { return false; }

void Widget::loseFocus(DrawSurface*) {}

void Widget::takeFocus(DrawSurface*) {}

bool Widget::isDirty() { return dirty; }

void Widget::setDirty(bool flag) { dirty = flag; }

void Widget::setMouseEnabled(bool flag) { mouseEnabled = flag; }

bool Widget::isMouseEnabled() { return mouseEnabled; }

void Widget::setMouseArea(const UiRect& area) { mouseArea = area; }

void Widget::getMouseArea(UiRect& area) { area = mouseArea; }

bool Widget::hitTest(const UiPoint& where, int32_t) { return bounds.containsInclusive(where); }

void Widget::setTransparent(bool flag) { transparent = flag; }

bool Widget::isTransparent() { return transparent; }

void Widget::setBounds(const UiRect& area) {
    bounds = area;
    setDirty(true);
}

void Widget::getBounds(UiRect& area) { area = bounds; }

void Widget::setParentGroup(WidgetGroup* group) { parentGroup = group; }

void Widget::setWindow(PluginWindow* newWindow) { window = newWindow; }

GuiEditor* Widget::getEditor() { return window ? window->getEditor() : nullptr; }

bool Widget::onRemoved(Widget*) { return true; }

bool Widget::onAttached(Widget*) { return true; }

void Widget::onScaleChanged() {}

void Widget::release() {
    if (retainCount <= 0) return;
    if (--retainCount == 0) delete this;
}

void Widget::retain() { ++retainCount; }

int32_t Widget::getRetainCount() { return retainCount; }

void Widget::redraw() {
    if (window) window->redrawWidget(this);
}
