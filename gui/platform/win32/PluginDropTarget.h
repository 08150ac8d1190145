// The OLE drop target of a plug-in window's child window: offers dragged text or files to the widgets.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <cstdint>

class PluginWindow;

class PluginDropTarget : public IDropTarget {
public:
    // Starts with no reference: RegisterDragDrop takes the first one.
    explicit PluginDropTarget(PluginWindow* window);
    virtual ~PluginDropTarget() = default;

    PluginDropTarget(const PluginDropTarget&) = delete;
    PluginDropTarget& operator=(const PluginDropTarget&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL where, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL where, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL where, DWORD* effect) override;

    // Cuts the target off from its window: later calls from OLE find nothing to deliver to.
    void detach() { window = nullptr; }

    // Replaces a ".lnk" shortcut name in place (a buffer of bufferSize bytes) by its target's short path;
    // leaves the name unchanged when it cannot be resolved.
    static void resolveShortcut(char* name, int bufferSize);

private:
    // The effect answered for the drag at a screen point: COPY when a widget there accepts the data and the
    // source allows copying, else NONE. Never MOVE: a source would delete what it believes was moved.
    DWORD effectAt(POINTL where, DWORD offered);
    bool deliverText(STGMEDIUM& medium);
    bool deliverFiles(STGMEDIUM& medium);

    LONG referenceCount = 0;
    int32_t dragKind = -1;  // DropText or DropFiles for the current drag, -1 when it offers neither
    PluginWindow* window;
};
