// The OLE drop target of a plug-in window's child window: offers dragged text or files to the widgets.
#pragma once

#include <windows.h>
#include <ole2.h>

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

    // Replaces a ".lnk" shortcut name in place (a buffer of bufferSize bytes) by its target's short path;
    // leaves the name unchanged when it cannot be resolved.
    static void resolveShortcut(char* name, int bufferSize);

private:
    void deliverText(STGMEDIUM& medium);
    void deliverFiles(STGMEDIUM& medium);

    LONG referenceCount = 0;
    bool accepting = false;  // the current drag offers text or files
    PluginWindow* window;
};
