// PluginWindow, neutral half: children, focus and modal widgets, routing, drawing passes, host edits.
#include "gui/core/PluginWindow.h"

#include <cstring>
#include <new>

#include "framework/EffectBaseExt.h"
#include "framework/GuiEditor.h"
#include "gui/core/DrawSurface.h"
#include "gui/core/Pixmap.h"
#include "gui/core/ValueControl.h"

namespace {
constexpr int32_t childArrayStep = 20;

EffectBaseExt* effectOf(GuiEditor* editor) { return editor ? editor->getEffectExt() : nullptr; }

int16_t toInt16(int32_t v) { return static_cast<int16_t>(v); }
}  // namespace

PluginWindow::PluginWindow(const UiRect& bounds, NativeHandle parentWindow, GuiEditor* editor, int32_t scale)
    : Widget(bounds), editor(editor), parentWindow(parentWindow), scale(uiscale::isStep(scale) ? scale : uiscale::kUnit) {
    loadBlendLibrary();
    // Out of memory half-way: the window made so far goes, as the destructor will not run.
    try {
        createChildWindow(parentWindow);
    } catch (...) {
        setDropActive(false);
        if (childWindow) destroyChildWindow();
        freeBlendLibrary();
        WindowWatch::windowGone(lifeline);
        throw;
    }
}

PluginWindow::PluginWindow(const UiRect& bounds, const char* title, GuiEditor* editor, int32_t style)
    : Widget(bounds), editor(editor), open(false), standalone(true) {
    hostWindowRecord = new HostWindowRecord();  // value-initialised: all zero
    if (title) {
        std::strncpy(hostWindowRecord->title, title, sizeof(hostWindowRecord->title) - 1);
    }
    hostWindowRecord->x = toInt16(bounds.left);
    hostWindowRecord->y = toInt16(bounds.top);
    hostWindowRecord->width = toInt16(bounds.width());
    hostWindowRecord->height = toInt16(bounds.height());
    hostWindowRecord->style = style;
}

PluginWindow::~PluginWindow() {
    // Loops still running inside this window's messages learn first that it is going.
    WindowWatch::windowGone(lifeline);
    lifeline = nullptr;
    dragControl = nullptr;  // goes with the children; the host that closed us hears no more of the drag
    // Only a window that changed the cursor puts it back; any other leaves the host's cursor as it is.
    if (savedCursor) setCursor(CursorDefault);
    setDropActive(false);
    removeAllChildren(true);
    setContextMenu(nullptr);
    if (background) background->release();
    background = nullptr;
    delete currentSurface;
    currentSurface = nullptr;
    freeBlendLibrary();
    if (childWindow) destroyChildWindow();
    if (standalone) closeWindow();
    delete hostWindowRecord;
    hostWindowRecord = nullptr;
}

GuiEditor* PluginWindow::getEditor() { return editor; }

// ---- children ----

bool PluginWindow::addChild(Widget* widget) {
    if (!widget) return false;  // a null entry would break every later routing pass
    if (childCount == childCapacity) {
        Widget** grown = new (std::nothrow) Widget*[size_t(childCapacity) + childArrayStep];
        if (!grown) return false;
        for (int32_t i = 0; i < childCount; ++i) grown[i] = children[i];
        delete[] children;
        children = grown;
        childCapacity += childArrayStep;
    }
    children[childCount++] = widget;
    widget->setWindow(this);
    widget->onAttached(this);
    return true;
}

bool PluginWindow::removeChild(Widget* widget, bool releaseIt) {
    for (int32_t i = 0; i < childCount; ++i) {
        if (children[i] != widget) continue;
        if (dragControl == widget) dragControl = nullptr;
        // A released focus widget must not be told about the next click.
        if (focusWidget == widget) {
            focusWidget = nullptr;
            widget->loseFocus(nullptr);
        }
        for (int32_t j = i + 1; j < childCount; ++j) children[j - 1] = children[j];
        --childCount;
        widget->onRemoved(this);
        if (releaseIt) widget->release();
        break;
    }
    return true;
}

bool PluginWindow::removeAllChildren(bool releaseIt) {
    if (focusWidget) {
        Widget* lost = focusWidget;
        focusWidget = nullptr;
        lost->loseFocus(nullptr);
    }
    dragControl = nullptr;
    // Detached first, so a widget that reaches back into the window while it goes sees an empty one.
    Widget** list = children;
    int32_t count = childCount;
    children = nullptr;
    childCount = 0;
    childCapacity = 0;
    for (int32_t i = 0; i < count; ++i) {
        list[i]->onRemoved(this);
        if (!releaseIt) continue;
        bool listedAgain = false;
        for (int32_t j = i + 1; j < count && !listedAgain; ++j) listedAgain = list[j] == list[i];
        if (!listedAgain) list[i]->release();  // one release per widget, however often it was added
    }
    delete[] list;
    return true;
}

bool PluginWindow::isChild(Widget* widget) {
    for (int32_t i = 0; i < childCount; ++i)
        if (children[i] == widget) return true;
    return false;
}

int32_t PluginWindow::getChildCount() { return childCount; }

Widget* PluginWindow::getChild(int32_t index) {
    if (index < 0 || index >= childCount) return nullptr;
    return children[index];
}

void PluginWindow::setBackground(Pixmap* pixmap) {
    if (pixmap) pixmap->retain();  // before the release: setting the same pixmap again keeps it alive
    if (background) background->release();
    background = pixmap;
}

// ---- drawing ----

void PluginWindow::draw(DrawSurface* surface) {
    if (!surface) return;
    firstDrawPending = false;
    if (background)
        background->draw(surface, UiRect{0, 0, background->getWidth(), background->getHeight()}, UiPoint{0, 0});
    for (int32_t i = 0; i < childCount; ++i) children[i]->draw(surface);
    if (modalWidget) modalWidget->draw(surface);
}

void PluginWindow::drawArea(DrawSurface* surface, const UiRect& area) {
    if (!surface) return;
    firstDrawPending = false;
    if (background) background->draw(surface, area, UiPoint{area.left, area.top});
    for (int32_t i = 0; i < childCount; ++i)
        if (children[i]->overlaps(area)) children[i]->drawArea(surface, area);
    if (modalWidget && modalWidget->overlaps(area)) modalWidget->draw(surface);
}

void PluginWindow::redrawWidget(Widget* widget) {
    Widget* target = widget && isChild(widget) ? widget : this;
    DrawSurface* surface = beginTemporarySurface();
    if (!surface) return;
    target->draw(surface);
    endTemporarySurface(surface);
}

void PluginWindow::update(DrawSurface* surface) {
    if (!open) return;
    if (modalWidget) {
        modalWidget->update(surface);
    } else if (dirty) {
        draw(surface);
        setDirty(false);
    } else {
        for (int32_t i = 0; i < childCount; ++i) children[i]->update(surface);
    }
}

void PluginWindow::idle() {
    WindowWatch watch(this);
    handleNativeEvents();
    // A drag step's requests may have let the host close the editor, or the plug-in, and this window.
    if (watch.windowClosed()) return;
    if (!open || firstDrawPending || !isAnythingDirty()) return;
    DrawSurface* surface = beginTemporarySurface();
    if (!surface) return;
    try {
        update(surface);
    } catch (...) {
        endTemporarySurface(surface);  // out of memory while drawing: the caller's wall answers
        throw;
    }
    endTemporarySurface(surface);
}

void PluginWindow::invalidate(const UiRect& area) {
    for (int32_t i = 0; i < childCount; ++i) {
        UiRect childBounds;
        children[i]->getBounds(childBounds);
        if (childBounds.overlapsInclusive(area)) children[i]->setDirty(true);
    }
}

bool PluginWindow::isAnythingDirty() {
    if (modalWidget || dirty) return true;
    for (int32_t i = 0; i < childCount; ++i)
        if (children[i]->isDirty()) return true;
    return false;
}

// ---- input routing ----

void PluginWindow::onMouseDown(DrawSurface* surface, const UiPoint& where) {
    // Another button pressed during a drag: one gesture at a time.
    if (dragControl) return;
    if (!surface) surface = currentSurface;
    if (focusWidget) {
        Widget* lost = focusWidget;
        lost->loseFocus(nullptr);
        focusWidget = nullptr;
    }
    int32_t buttons = surface ? surface->getMouseButtons() : -1;
    if (contextMenu && !modalWidget && buttons != -1 && (buttons & MouseRight) && !(buttons & MouseLeft)) {
        contextMenu->onMouseDown(surface, where);
        return;
    }
    if (modalWidget) {
        if (modalWidget->hitTest(where, buttons)) modalWidget->onMouseDown(surface, where);
        return;
    }
    for (int32_t i = childCount - 1; i >= 0; --i) {
        Widget* child = children[i];
        if (child->isMouseEnabled() && child->hitTest(where, buttons)) {
            child->onMouseDown(surface, where);
            return;
        }
    }
}

int32_t PluginWindow::onKeyDown(const UiKey& key) {
    if (focusWidget) {
        int32_t result = focusWidget->onKeyDown(key);
        if (result != -1) return result;
    }
    if (modalWidget) {
        int32_t result = modalWidget->onKeyDown(key);
        if (result != -1) return result;
    }
    for (int32_t i = childCount - 1; i >= 0; --i) {
        int32_t result = children[i]->onKeyDown(key);
        if (result != -1) return result;
    }
    return -1;
}

int32_t PluginWindow::onKeyUp(const UiKey& key) {
    if (focusWidget) {
        int32_t result = focusWidget->onKeyUp(key);
        if (result != -1) return result;
    }
    if (modalWidget) {
        int32_t result = modalWidget->onKeyUp(key);
        if (result != -1) return result;
    }
    for (int32_t i = childCount - 1; i >= 0; --i) {
        int32_t result = children[i]->onKeyUp(key);
        if (result != -1) return result;
    }
    return -1;
}

bool PluginWindow::onWheel(DrawSurface* surface, const UiPoint&, float distance) {
    Widget* target = widgetUnderCursor();
    if (!target) return false;
    DrawSurface* used = surface ? surface : beginTemporarySurface();
    UiPoint cursor;
    getCursorPosition(cursor);
    bool result = target->onWheel(used, cursor, distance);
    if (!surface && used) endTemporarySurface(used);
    return result;
}

bool PluginWindow::askDropChildren(const UiPoint& where, const std::function<bool(Widget*)>& ask) {
    if (modalWidget || focusWidget) return false;
    for (int32_t i = childCount - 1; i >= 0; --i) {
        Widget* child = children[i];
        UiRect childBounds;
        child->getBounds(childBounds);
        if (child->isMouseEnabled() && childBounds.containsInclusive(where) && ask(child)) return true;
    }
    return false;
}

bool PluginWindow::onDrop(const char* const* items, int32_t count, int32_t kind, const UiPoint& where) {
    return askDropChildren(where, [&](Widget* child) { return child->onDrop(items, count, kind, where); });
}

bool PluginWindow::acceptsDrop(int32_t kind, const UiPoint& where) {
    return askDropChildren(where, [&](Widget* child) { return child->acceptsDrop(kind, where); });
}

Widget* PluginWindow::widgetUnderCursor() {
    if (modalWidget) return modalWidget;
    UiPoint cursor;
    getCursorPosition(cursor);
    for (int32_t i = childCount - 1; i >= 0; --i) {
        UiRect childBounds;
        children[i]->getBounds(childBounds);
        if (childBounds.containsInclusive(cursor)) return children[i];
    }
    return nullptr;
}

void PluginWindow::setFocusWidget(Widget* widget) {
    Widget* previous = focusWidget;
    focusWidget = widget;
    if (previous) previous->loseFocus(nullptr);
}

bool PluginWindow::setModalWidget(Widget* widget) {
    if (widget && modalWidget) return false;
    if (modalWidget) modalWidget->onRemoved(this);
    modalWidget = widget;
    if (widget) widget->onAttached(this);
    return true;
}

// ---- event-driven drags ----

void PluginWindow::followDrag(ValueControl* control) { dragControl = control; }

void PluginWindow::dragTo(DrawSurface* surface, const UiPoint& where, int32_t buttons) {
    ValueControl* control = dragControl;
    if (!control) return;
    // Without the button this step is the last, whatever the host does from inside its requests.
    if (!(buttons & MouseLeft)) dragControl = nullptr;
    WindowWatch watch(this);
    const bool goesOn = control->continueDrag(surface, where, buttons);
    if (!goesOn && !watch.windowClosed() && dragControl == control) dragControl = nullptr;
}

void PluginWindow::cancelDrag() {
    ValueControl* control = dragControl;
    dragControl = nullptr;
    if (control) endEdit(control->getTag());
}

// ---- services of the editor ----

uint32_t PluginWindow::getTicks() { return editor ? GuiEditor::getTicks() : 0; }

void PluginWindow::runEditorIdle() {
    if (editor) editor->serviceIdle();
}

int32_t PluginWindow::getKnobMode() { return GuiEditor::getKnobMode(); }

void PluginWindow::beginEdit(int32_t tag) {
    if (EffectBaseExt* effect = effectOf(editor)) effect->hostBeginEdit(tag);
}

void PluginWindow::endEdit(int32_t tag) {
    if (EffectBaseExt* effect = effectOf(editor)) effect->hostEndEdit(tag);
}

// ---- resizing and standalone mode ----

void PluginWindow::setContextMenu(Widget* menu) {
    if (menu) menu->retain();
    if (contextMenu) {
        if (modalWidget == contextMenu) setModalWidget(nullptr);
        contextMenu->release();
    }
    contextMenu = menu;
    if (menu) menu->setWindow(this);
}

bool PluginWindow::setScale(int32_t percent) {
    if (!open || !childWindow || !uiscale::isStep(percent) || percent == scale) return false;
    const int32_t width = uiscale::toDevice(bounds.width(), percent);
    const int32_t height = uiscale::toDevice(bounds.height(), percent);
    EffectBaseExt* effect = effectOf(editor);
    if (effect && effect->hostCanDo("sizeWindow")) {
        // A host that refuses keeps its frame: the window keeps its size and scale, the picture stays whole.
        WindowWatch watch(this);
        if (!effect->hostSizeWindow(width, height)) return false;
        // A host may close and reopen the editor for its new size: then there is nothing left to do here.
        if (watch.windowClosed()) return true;
        resizeChildWindow(width, height);
    } else {
        resizeWindowChain(width, height);
    }
    scale = percent;
    for (int32_t i = 0; i < childCount; ++i) children[i]->onScaleChanged();
    if (contextMenu) contextMenu->onScaleChanged();
    redrawWidget(nullptr);
    return true;
}

bool PluginWindow::setSize(int32_t width, int32_t height) {
    if (!open) return false;
    if (width == bounds.width() && height == bounds.height()) return false;
    EffectBaseExt* effect = effectOf(editor);
    if (effect && effect->hostCanDo("sizeWindow") && effect->hostSizeWindow(width, height)) {
        resizeChildWindow(width, height);  // the host resized its frame; the bounds stay
        return true;
    }
    bounds.right = bounds.left + width;
    bounds.bottom = bounds.top + height;
    resizeWindowChain(width, height);
    return true;
}

bool PluginWindow::openWindow(const UiPoint* position) {
    if (!standalone) return false;
    if (open) {
        bringFrameToTop();
        return false;
    }
    if (position) {
        hostWindowRecord->x = toInt16(position->h);
        hostWindowRecord->y = toInt16(position->v);
    }
    EffectBaseExt* effect = effectOf(editor);
    parentWindow = effect ? effect->hostOpenWindow(reinterpret_cast<VstWindow*>(hostWindowRecord)) : nullptr;
    if (parentWindow && createChildWindow(parentWindow)) open = true;
    return open;
}

bool PluginWindow::closeWindow() {
    if (!standalone || !open || !parentWindow) return false;
    if (EffectBaseExt* effect = effectOf(editor))
        effect->hostCloseWindow(reinterpret_cast<VstWindow*>(hostWindowRecord));
    parentWindow = nullptr;
    return true;
}
