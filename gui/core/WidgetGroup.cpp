// WidgetGroup: children in a linked list, local coordinates, background, double buffering and routing.
#include "gui/core/WidgetGroup.h"

#include "gui/core/OffscreenSurface.h"
#include "gui/core/Pixmap.h"
#include "gui/core/PluginWindow.h"

WidgetGroup::WidgetGroup(const UiRect& bounds, PluginWindow* window, Pixmap* background)
    : Widget(bounds), background(background) {
    this->window = window;
    if (background) background->retain();
}

WidgetGroup::~WidgetGroup() {
    if (background) background->release();
    background = nullptr;
    removeAllChildren(true);
    deleteOffscreen();
}

// Origin of the group in window coordinates: its top-left plus those of the groups around it.
static UiPoint originInWindow(Widget* widget) {
    UiPoint origin;
    for (Widget* w = widget; w; w = w->getParentGroup()) {
        UiRect r;
        w->getBounds(r);
        origin.h += r.left;
        origin.v += r.top;
    }
    return origin;
}

WidgetGroup::SavedOrigin WidgetGroup::moveOrigin(DrawSurface* surface) {
    SavedOrigin saved{surface->screenOrigin, surface->offset};
    // Added to the current origin, so groups nested in a group that draws in place land where their
    // mouse coordinates say they are.
    surface->offset.h += bounds.left;
    surface->offset.v += bounds.top;
    surface->screenOrigin.h += bounds.left;
    surface->screenOrigin.v += bounds.top;
    return saved;
}

void WidgetGroup::restoreOrigin(DrawSurface* surface, const SavedOrigin& saved) {
    surface->screenOrigin = saved.screenOrigin;
    surface->offset = saved.offset;
}

UiPoint WidgetGroup::toLocal(const UiPoint& where) const { return UiPoint{where.h - bounds.left, where.v - bounds.top}; }

void WidgetGroup::ensureOffscreen() {
    if (!offscreen) offscreen = new OffscreenSurface(window, bounds.width(), bounds.height(), colourBlack);
}

void WidgetGroup::deleteOffscreen() {
    delete offscreen;
    offscreen = nullptr;
}

void WidgetGroup::drawBackgroundArea(DrawSurface* target, const UiRect& localArea) {
    if (!target) return;
    if (background) {
        UiPoint from{localArea.left + backgroundOffset.h, localArea.top + backgroundOffset.v};
        if (transparent)
            background->drawTransparent(target, localArea, from);
        else
            background->draw(target, localArea, from);
    } else if (!transparent) {
        target->setFillColour(backgroundColour);
        target->fillArea(localArea);
    }
}

void WidgetGroup::draw(DrawSurface* surface) {
    if (doubleBuffered) ensureOffscreen();
    DrawSurface* target = doubleBuffered ? offscreen : surface;
    SavedOrigin saved{};
    if (!doubleBuffered && surface) saved = moveOrigin(surface);
    if (target) {
        drawBackgroundArea(target, UiRect{0, 0, bounds.width(), bounds.height()});
        for (Node* node = firstNode; node; node = node->next) node->widget->draw(target);
    }
    if (doubleBuffered) {
        if (surface) offscreen->copyTo(surface, bounds, UiPoint{0, 0});
    } else if (surface) {
        restoreOrigin(surface, saved);
    }
    setDirty(false);
}

void WidgetGroup::drawArea(DrawSurface* surface, const UiRect& area) {
    if (doubleBuffered) ensureOffscreen();
    DrawSurface* target = doubleBuffered ? offscreen : surface;
    SavedOrigin saved{};
    if (!doubleBuffered && surface) saved = moveOrigin(surface);
    UiRect clipped = area;
    clipped.boundTo(bounds);
    UiRect local{clipped.left - bounds.left, clipped.top - bounds.top, clipped.right - bounds.left,
                 clipped.bottom - bounds.top};
    if (target) {
        drawBackgroundArea(target, local);
        for (Node* node = firstNode; node; node = node->next)
            if (node->widget->overlaps(local)) node->widget->draw(target);
    }
    if (doubleBuffered) {
        if (surface) offscreen->copyTo(surface, clipped, UiPoint{local.left, local.top});
    } else if (surface) {
        restoreOrigin(surface, saved);
    }
    setDirty(false);
}

void WidgetGroup::update(DrawSurface* surface) {
    if (updateMode == UpdateWhole) {
        if (isDirty()) draw(surface);
        return;
    }
    if (updateMode != UpdateDirtyChildren) return;

    if (dirty) {
        draw(surface);
        setDirty(false);
        return;
    }
    if (doubleBuffered && offscreen) {
        bool wasDirty = isDirty();
        for (Node* node = firstNode; node; node = node->next) node->widget->update(offscreen);
        if (wasDirty && surface) offscreen->copyTo(surface, bounds, UiPoint{0, 0});
        setDirty(false);
        return;
    }
    if (!surface) return;
    SavedOrigin saved = moveOrigin(surface);
    for (Node* node = firstNode; node; node = node->next) {
        Widget* child = node->widget;
        if (!child->isDirty()) continue;
        // A nested group is redrawn whole, over the background it covers.
        WidgetGroup* group = child->notify(this, kMsgCheckIfViewContainer) ? static_cast<WidgetGroup*>(child) : nullptr;
        int32_t savedMode = group ? group->getUpdateMode() : UpdateWhole;
        if (group) group->setUpdateMode(UpdateWhole);
        UiRect childBounds;
        child->getBounds(childBounds);
        drawBackgroundArea(surface, childBounds);
        child->update(surface);
        if (group) group->setUpdateMode(savedMode);
    }
    restoreOrigin(surface, saved);
    setDirty(false);
}

int32_t WidgetGroup::notify(Widget*, const char* message) { return message == kMsgCheckIfViewContainer ? 1 : 0; }

bool WidgetGroup::isDirty() {
    if (dirty) return true;
    for (Node* node = firstNode; node; node = node->next)
        if (node->widget->isDirty()) return true;
    return false;
}

void WidgetGroup::onMouseDown(DrawSurface* surface, const UiPoint& where) {
    UiPoint local = toLocal(where);
    SavedOrigin saved{};
    if (surface) saved = moveOrigin(surface);
    int32_t buttons = surface ? surface->getMouseButtons() : -1;
    for (Node* node = lastNode; node; node = node->previous) {
        Widget* child = node->widget;
        if (child->isMouseEnabled() && child->hitTest(local, buttons)) {
            child->onMouseDown(surface, local);
            break;
        }
    }
    if (surface) restoreOrigin(surface, saved);
}

int32_t WidgetGroup::onKeyDown(const UiKey& key) {
    for (Node* node = lastNode; node; node = node->previous) {
        int32_t result = node->widget->onKeyDown(key);
        if (result != -1) return result;
    }
    return -1;
}

int32_t WidgetGroup::onKeyUp(const UiKey& key) {
    for (Node* node = lastNode; node; node = node->previous) {
        int32_t result = node->widget->onKeyUp(key);
        if (result != -1) return result;
    }
    return -1;
}

bool WidgetGroup::askDropChildren(const UiPoint& where,
                                  const std::function<bool(Widget*, const UiPoint&)>& ask) {
    if (!window) return false;
    UiPoint local = toLocal(where);
    for (Node* node = lastNode; node; node = node->previous) {
        Widget* child = node->widget;
        UiRect area;
        child->getMouseArea(area);
        if (child->isMouseEnabled() && area.containsInclusive(local) && ask(child, local)) return true;
    }
    return false;
}

bool WidgetGroup::onDrop(const char* const* items, int32_t count, int32_t kind, const UiPoint& where) {
    return askDropChildren(where, [&](Widget* child, const UiPoint& local) {
        return child->onDrop(items, count, kind, local);
    });
}

bool WidgetGroup::acceptsDrop(int32_t kind, const UiPoint& where) {
    return askDropChildren(where, [&](Widget* child, const UiPoint& local) { return child->acceptsDrop(kind, local); });
}

bool WidgetGroup::onWheel(DrawSurface* surface, const UiPoint& where, float distance) {
    Widget* target = widgetUnderCursor();
    if (!target) return false;
    SavedOrigin saved{};
    if (surface) saved = moveOrigin(surface);
    bool result = target->onWheel(surface, toLocal(where), distance);
    if (surface) restoreOrigin(surface, saved);
    return result;
}

Widget* WidgetGroup::widgetUnderCursor() {
    if (!window) return nullptr;
    UiPoint cursor;
    window->getCursorPosition(cursor);
    UiPoint origin = originInWindow(this);
    UiPoint local{cursor.h - origin.h, cursor.v - origin.v};
    for (Node* node = lastNode; node; node = node->previous) {
        UiRect area;
        node->widget->getMouseArea(area);
        if (area.containsInclusive(local)) return node->widget;
    }
    return nullptr;
}

void WidgetGroup::loseFocus(DrawSurface* surface) {
    for (Node* node = firstNode; node; node = node->next) node->widget->loseFocus(surface);
}

void WidgetGroup::takeFocus(DrawSurface* surface) {
    for (Node* node = firstNode; node; node = node->next) node->widget->takeFocus(surface);
}

void WidgetGroup::setBounds(const UiRect& area) {
    Widget::setBounds(area);
    if (offscreen) {
        deleteOffscreen();
        ensureOffscreen();
    }
}

void WidgetGroup::onScaleChanged() {
    if (offscreen) {
        deleteOffscreen();
        ensureOffscreen();
    }
    for (Node* node = firstNode; node; node = node->next) node->widget->onScaleChanged();
}

bool WidgetGroup::onAttached(Widget*) {
    if (doubleBuffered) ensureOffscreen();
    return true;
}

bool WidgetGroup::onRemoved(Widget*) {
    deleteOffscreen();
    return true;
}

void WidgetGroup::addChildWithMouseArea(Widget* widget, const UiRect& area, bool enabled) {
    if (!widget) return;
    widget->setMouseEnabled(enabled);
    widget->setMouseArea(area);
    addChild(widget);
}

void WidgetGroup::addChild(Widget* widget) {
    if (!widget) return;
    Node* node = new Node{widget, nullptr, lastNode};
    widget->retain();
    widget->setParentGroup(this);
    widget->setWindow(window);
    if (lastNode)
        lastNode->next = node;
    else
        firstNode = node;
    lastNode = node;
    widget->onAttached(this);
    widget->setDirty(true);
}

// Unlinks the node, tells its widget and drops the node's reference. The owner's reference (releaseIt)
// is dropped only at the last node holding the widget, so a widget listed twice is not released twice.
void WidgetGroup::unlinkAndDestroy(Node* node, bool releaseIt) {
    if (node->previous)
        node->previous->next = node->next;
    else
        firstNode = node->next;
    if (node->next)
        node->next->previous = node->previous;
    else
        lastNode = node->previous;
    Widget* widget = node->widget;
    bool listedAgain = false;
    for (Node* other = firstNode; other && !listedAgain; other = other->next) listedAgain = other->widget == widget;
    widget->onRemoved(this);
    if (releaseIt && !listedAgain) widget->release();
    delete node;
    widget->release();
}

void WidgetGroup::removeChild(Widget* widget, bool releaseIt) {
    Node* node = firstNode;
    while (node) {
        Node* next = node->next;
        if (node->widget == widget) unlinkAndDestroy(node, releaseIt);
        node = next;
    }
}

void WidgetGroup::removeAllChildren(bool releaseIt) {
    while (firstNode) unlinkAndDestroy(firstNode, releaseIt);
}

bool WidgetGroup::isChild(Widget* widget) {
    for (Node* node = firstNode; node; node = node->next)
        if (node->widget == widget) return true;
    return false;
}

int32_t WidgetGroup::getChildCount() {
    int32_t count = 0;
    for (Node* node = firstNode; node; node = node->next) ++count;
    return count;
}

Widget* WidgetGroup::getChild(int32_t index) {
    if (index < 0) return nullptr;
    for (Node* node = firstNode; node; node = node->next)
        if (index-- == 0) return node->widget;
    return nullptr;
}

void WidgetGroup::setBackgroundColour(UiColor colour) { backgroundColour = colour; }

void WidgetGroup::getBackgroundColour(UiColor& colour) { colour = backgroundColour; }

void WidgetGroup::setBackgroundPixmap(Pixmap* pixmap) {
    // Retained before the old one is released, so setting the same pixmap again cannot delete it.
    if (pixmap) pixmap->retain();
    if (background) background->release();
    background = pixmap;
}

Pixmap* WidgetGroup::getBackgroundPixmap() { return background; }

void WidgetGroup::setBackgroundOffset(const UiPoint& point) { backgroundOffset = point; }

UiPoint WidgetGroup::getBackgroundOffset() { return backgroundOffset; }

void WidgetGroup::setUpdateMode(int32_t mode) { updateMode = mode; }

int32_t WidgetGroup::getUpdateMode() { return updateMode; }

void WidgetGroup::setDoubleBuffered(bool flag) {
    doubleBuffered = flag;
    if (!flag) deleteOffscreen();
}
