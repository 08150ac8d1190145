// HostedEditorFixture: this build tree's VozuvAzirOVA.dll loaded and its editor opened in a real top-level
// window, as a host does, with the editor's layout and the DLL's own bitmaps to compare the screen against.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "editor/PanelLayout.h"
#include "tests/wine/editor/ScreenImage.h"
#include "tools/hostloader/PluginHost.h"
#include "tools/hostloader/PluginLibrary.h"

// The loaded DLL and its bitmaps, shared by every test of the program.
struct PluginBinary {
    PluginLibrary library;
    HMODULE module = nullptr;
    std::string className;  // "Plugin%08x" of the module handle
    ScreenImage panel, strip, meterLit, meterUnlit, greenLit, greenUnlit, bar;
    std::string error;
    static PluginBinary& get();
};

// The first row of the strip's frame that shows value: t = trunc(2368 × value), rounded down to a frame.
int frameTop(float value);

// A point of a knob drag in the knob's own coordinates; holdFirst (0: none) is a key pressed before the
// cursor goes there and held to the end of the drag.
struct DragStep {
    int x;
    int y;
    WORD holdFirst = 0;
};

// What a drag did, as the thread that moved the mouse saw it.
struct DragRecord {
    std::vector<float> automated;  // after each step of the path, the value last automated for the knob
    std::string failure;           // what did not happen as asked; empty when all did
};

class HostedEditorFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A fresh instance as a host starts it (sample rate, block size, mains on).
    std::unique_ptr<PluginHost> startPlugin();
    // effEditGetRect, effEditOpen with the parent window, the first paint; sets editorWindow.
    void openEditor();
    void closeEditor();
    // What a host's message loop does after showing the window: paint what is invalid.
    void paintNow();
    // effEditIdle, then the host's message dispatch, times times.
    void idle(int times = 1);
    ScreenImage capture() const { return ScreenImage::fromWindow(editorWindow); }
    // Screen point of a window pixel of the editor.
    POINT toScreen(int x, int y) const;
    // Screen point of a point of the panel (editor units), at the editor's scale.
    POINT panelPoint(int x, int y) const { return toScreen(px(x), px(y)); }
    POINT knobPoint(VstInt32 parameter, int x, int y) const {
        return panelPoint(layout::kKnobLeft(parameter) + x, layout::kKnobTop + y);
    }
    int px(int unit) const { return unit * zoom / 100; }  // every panel edge the tests use maps exactly
    // The host's record of the edit gestures of one parameter: begin edit, automation, end edit, in order.
    std::vector<HostRequest> editRequestsOf(VstInt32 parameter) const;
    // A real drag of the knob of parameter: holds start.holdFirst, presses the left button at start, goes
    // through path waiting after each move until the host has seen a new automation, then lets everything go
    // and waits for the end of the edit. Bounded in time.
    DragRecord dragKnob(VstInt32 parameter, DragStep start, const std::vector<DragStep>& path);

    // Empty when the knob of parameter shows the strip frame of value, else what differs.
    static std::string knobDiffers(const ScreenImage& shot, VstInt32 parameter, float value);
    // Lit segments a horizontal meter shows (the on picture up to the split, the off picture after), -1 if none.
    static int meterShows(const ScreenImage& shot, int left, const ScreenImage& on, const ScreenImage& off);
    // A read-out's picture without its edge columns: neighbouring read-outs share a column, and whichever
    // was drawn last shows there.
    static ScreenImage readout(const ScreenImage& shot, VstInt32 parameter);
    int editorChildCount() const;

public:
    // The user's stored editor scale for the plug-ins started next (100: none stored).
    static void storeZoom(int percent);

protected:

    PluginBinary& binary = PluginBinary::get();
    std::unique_ptr<PluginHost> host;
    HWND parent = nullptr;
    HWND editorWindow = nullptr;
    bool editorOpen = false;
    int zoom = 100;  // a derived fixture sets another scale in its constructor: stored as the user's choice
};
