// Headless input half of DrawSurface: the scripted mouse, the headless window's screen origin, the
// double-click wait over the script.
#include "gui/core/DrawSurface.h"

#include "gui/platform/cairo/HeadlessSystem.h"
#include "gui/platform/cairo/HeadlessWindow.h"
#include "gui/platform/cairo/ScriptedInput.h"

UiPoint DrawSurface::getWindowScreenOrigin() const {
    const HeadlessWindow* window = HeadlessWindow::fromHandle(windowHandle);
    return window ? window->screenOrigin() : UiPoint{};
}

int32_t DrawSurface::getMouseButtons() {
    const int32_t physical = ScriptedInput::instance().pollButtons();
    const bool swapped = HeadlessSystem::buttonsSwapped;
    int32_t buttons = 0;
    if (physical & MouseLeft) buttons |= swapped ? MouseRight : MouseLeft;
    if (physical & MouseMiddle) buttons |= MouseMiddle;
    if (physical & MouseRight) buttons |= swapped ? MouseLeft : MouseRight;
    return buttons | (physical & (KeyShift | KeyControl | KeyAlt));
}

void DrawSurface::getMousePosition(UiPoint& where) {
    where = panelPoint(ScriptedInput::instance().cursor(), screenOrigin, scale);
}

bool DrawSurface::waitForDoubleClick() {
    ScriptedInput& input = ScriptedInput::instance();
    const UiPoint start = input.cursor();
    const UiRect box{start.h - 2, start.v - 2, start.h + 2, start.v + 2};
    const uint32_t deadline = HeadlessWindow::lastMessageTime() + input.doubleClickTime();
    // The queue of this system is the script: a step that presses the primary button after a step
    // without it is a button-down message. Each look costs a millisecond of the scripted clock.
    bool wasDown = (input.peekButtons() & MouseLeft) != 0;
    while (input.ticks() < deadline) {
        if (!box.contains(input.cursor())) return false;
        const bool down = (input.pollButtons() & MouseLeft) != 0;
        if (down && !wasDown) return true;
        wasDown = down;
        input.advance(1);
    }
    return false;
}
