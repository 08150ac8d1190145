// IDropTarget of the child window: text and file lists fetched from the data object and handed to onDrop.
#include "gui/platform/win32/PluginDropTarget.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstdlib>
#include <cstring>
#include <new>

#include "gui/core/PluginWindow.h"

namespace {

constexpr int nameBufferSize = 1024;

// Resolution without user interface, giving up after 500 ms (the time-out sits in the high word).
constexpr DWORD shortcutResolveFlags = DWORD(SLR_NO_UI) | DWORD(SLR_ANY_MATCH) | (500u << 16);  // 0x01F40003

// The interface identifiers and the shell link class, from their published values.
constexpr GUID shellLinkClass = {0x00021401, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID shellLinkInterface = {0x000214EE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID persistFileInterface = {0x0000010B, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID unknownInterface = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID dropTargetInterface = {0x00000122, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

FORMATETC globalFormat(CLIPFORMAT format) { return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

bool hasShortcutExtension(const char* name) {
    const char* dot = std::strrchr(name, '.');
    return dot && lstrcmpiA(dot, ".lnk") == 0;
}

// What a widget throws while taking a drop (out of memory) refuses the drop; nothing thrown reaches OLE.
bool offerDrop(PluginWindow* window, const char* const* items, int32_t count, int32_t kind, const UiPoint& where) {
    try {
        return window->onDrop(items, count, kind, where);
    } catch (...) {
        return false;
    }
}

}  // namespace

PluginDropTarget::PluginDropTarget(PluginWindow* window) : window(window) {}

HRESULT STDMETHODCALLTYPE PluginDropTarget::QueryInterface(REFIID iid, void** object) {
    if (!object) return E_POINTER;
    if (IsEqualGUID(iid, unknownInterface) || IsEqualGUID(iid, dropTargetInterface)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE PluginDropTarget::AddRef() { return static_cast<ULONG>(++referenceCount); }

ULONG STDMETHODCALLTYPE PluginDropTarget::Release() {
    const LONG remaining = --referenceCount;
    if (remaining == 0) delete this;
    return static_cast<ULONG>(remaining);
}

HRESULT STDMETHODCALLTYPE PluginDropTarget::DragEnter(IDataObject* data, DWORD keyState, POINTL where,
                                                      DWORD* effect) {
    FORMATETC text = globalFormat(CF_TEXT);
    FORMATETC files = globalFormat(CF_HDROP);
    dragKind = -1;
    if (data && data->QueryGetData(&text) == S_OK)
        dragKind = DropText;
    else if (data && data->QueryGetData(&files) == S_OK)
        dragKind = DropFiles;
    return DragOver(keyState, where, effect);
}

HRESULT STDMETHODCALLTYPE PluginDropTarget::DragOver(DWORD, POINTL where, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    try {
        *effect = effectAt(where, *effect);
    } catch (...) {
        *effect = DROPEFFECT_NONE;
    }
    return S_OK;
}

DWORD PluginDropTarget::effectAt(POINTL where, DWORD offered) {
    if (!window || dragKind < 0 || !(offered & DROPEFFECT_COPY)) return DROPEFFECT_NONE;
    RECT frame{0, 0, 0, 0};
    if (window->getChildWindow()) GetWindowRect(static_cast<HWND>(window->getChildWindow()), &frame);
    const UiPoint local{where.x - frame.left, where.y - frame.top};
    return window->acceptsDrop(dragKind, local) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

HRESULT STDMETHODCALLTYPE PluginDropTarget::DragLeave() { return S_OK; }

HRESULT STDMETHODCALLTYPE PluginDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    // Whatever a widget does with the data, it works on a copy: the source keeps its text or files.
    const DWORD offered = effect ? *effect : DROPEFFECT_COPY;
    bool accepted = false;
    if (window && data && (offered & DROPEFFECT_COPY)) {
        STGMEDIUM medium{};
        FORMATETC text = globalFormat(CF_TEXT);
        FORMATETC files = globalFormat(CF_HDROP);
        if (data->GetData(&text, &medium) == S_OK) {
            accepted = deliverText(medium);
        } else if (data->GetData(&files, &medium) == S_OK) {
            accepted = deliverFiles(medium);
        }
    }
    if (effect) *effect = accepted ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    DragLeave();
    return S_OK;
}

bool PluginDropTarget::deliverText(STGMEDIUM& medium) {
    bool accepted = false;
    if (medium.tymed == TYMED_HGLOBAL) {
        const char* text = static_cast<const char*>(GlobalLock(medium.hGlobal));
        const SIZE_T size = GlobalSize(medium.hGlobal);
        if (text && size) {
            const char* items[1] = {text};
            UiPoint where;
            window->getCursorPosition(where);
            accepted = offerDrop(window, items, static_cast<int32_t>(size), DropText, where);
        }
        if (text) GlobalUnlock(medium.hGlobal);
    }
    ReleaseStgMedium(&medium);  // through the supplied release interface, else GlobalFree
    return accepted;
}

bool PluginDropTarget::deliverFiles(STGMEDIUM& medium) {
    bool accepted = false;
    HDROP list = medium.tymed == TYMED_HGLOBAL ? static_cast<HDROP>(medium.hGlobal) : nullptr;
    const UINT count = list ? DragQueryFileA(list, 0xFFFFFFFF, nullptr, 0) : 0;
    char** names = count ? new (std::nothrow) char*[count] : nullptr;
    if (names) {
        int32_t obtained = 0;
        char buffer[nameBufferSize];
        for (UINT i = 0; i < count; ++i) {
            if (!DragQueryFileA(list, i, buffer, sizeof buffer)) continue;
            if (hasShortcutExtension(buffer)) resolveShortcut(buffer, sizeof buffer);
            char* copy = new (std::nothrow) char[nameBufferSize];
            if (!copy) continue;
            lstrcpynA(copy, buffer, nameBufferSize);
            names[obtained++] = copy;
        }
        UiPoint where;
        window->getCursorPosition(where);
        accepted = offerDrop(window, names, obtained, DropFiles, where);
        for (int32_t i = 0; i < obtained; ++i) delete[] names[i];
        delete[] names;
    }
    ReleaseStgMedium(&medium);
    return accepted;
}

void PluginDropTarget::resolveShortcut(char* name, int bufferSize) {
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(shellLinkClass, nullptr, CLSCTX_INPROC_SERVER, shellLinkInterface,
                                reinterpret_cast<void**>(&link)))) {
        return;
    }
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(persistFileInterface, reinterpret_cast<void**>(&file)))) {
        WCHAR wideName[nameBufferSize];
        if (MultiByteToWideChar(CP_ACP, 0, name, -1, wideName, nameBufferSize) &&
            SUCCEEDED(file->Load(wideName, STGM_READ)) && SUCCEEDED(link->Resolve(nullptr, shortcutResolveFlags))) {
            char target[nameBufferSize];
            target[0] = 0;
            if (SUCCEEDED(link->GetPath(target, sizeof target, nullptr, SLGP_SHORTPATH)) && target[0]) {
                lstrcpynA(name, target, bufferSize);
            }
        }
        file->Release();
    }
    link->Release();
}
