// EditorWindow: a plug-in's editor opened the way a host opens it: the editor's rectangle, a top-level
// window of that client size, effEditOpen with its handle, effEditIdle from a 20 ms timer.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/hostwindow/HostWindow.h"

class PluginHost;

class EditorWindow {
  public:
    static constexpr UINT kIdleMilliseconds = 20;

    explicit EditorWindow(PluginHost& host) : host(host) {}
    ~EditorWindow() { close(); }
    EditorWindow(const EditorWindow&) = delete;
    EditorWindow& operator=(const EditorWindow&) = delete;

    // False with error set when the plug-in has no editor or the window cannot be made.
    bool open(std::string& error);
    // effEditClose, then the window goes; nothing when not open.
    void close();

    // Runs the thread's messages (and so the idle timer) for the given time, or until `handle` (when
    // not null) is signalled. False once the user has closed the window.
    bool pump(DWORD milliseconds, HANDLE handle = nullptr);
    // Pumps until the editor has had `count` more idle calls; false once the user has closed the window.
    bool pumpIdles(unsigned count);
    unsigned idleCount() const { return idles; }
    bool closedByUser() const { return userClosed; }

    // Repaints the window with its children and copies its client area.
    bool capture(HostWindowPicture& picture);

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void closeEditor();

    PluginHost& host;
    HWND window = nullptr;
    bool editorOpen = false;
    bool userClosed = false;
    unsigned idles = 0;
};
