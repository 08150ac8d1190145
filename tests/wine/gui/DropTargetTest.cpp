// The child window's OLE drop target: its COM identity, drag effects, text and file drops, shortcuts.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "GuiTestSupport.h"
#include "RecordingWidget.h"
#include "gui/core/PluginWindow.h"
#include "gui/platform/win32/PluginDropTarget.h"

namespace {

// A data object offering one HGLOBAL format: CF_TEXT or CF_HDROP, or nothing at all.
class TestDataObject : public IDataObject {
public:
    TestDataObject(CLIPFORMAT format, std::vector<char> bytes) : format(format), bytes(std::move(bytes)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
            *object = this;
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }  // lives on the test's stack

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override {
        if (QueryGetData(wanted) != S_OK) return DV_E_FORMATETC;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
        std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
        GlobalUnlock(memory);
        handedOutSize = GlobalSize(memory);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* wanted) override {
        const bool match = format && wanted->cfFormat == format && (wanted->tymed & TYMED_HGLOBAL) &&
                           wanted->dwAspect == DVASPECT_CONTENT && wanted->lindex == -1;
        return match ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

    CLIPFORMAT format;
    std::vector<char> bytes;
    ULONG references = 1;
    SIZE_T handedOutSize = 0;
};

TestDataObject textData(const char* text) { return TestDataObject(CF_TEXT, std::vector<char>(text, text + std::strlen(text) + 1)); }

// A DROPFILES record followed by the ANSI names, each NUL-terminated, and a final NUL.
TestDataObject fileData(const std::vector<std::string>& names) {
    std::vector<char> bytes(sizeof(DROPFILES));
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = FALSE;
    std::memcpy(bytes.data(), &header, sizeof header);
    for (const std::string& name : names) bytes.insert(bytes.end(), name.c_str(), name.c_str() + name.size() + 1);
    bytes.push_back(0);
    return TestDataObject(CF_HDROP, bytes);
}

std::string tempPath(const char* name) {
    char directory[MAX_PATH];
    GetTempPathA(sizeof directory, directory);
    return std::string(directory) + name;
}

void writeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    WriteFile(file, "x", 1, &written, nullptr);
    CloseHandle(file);
}

bool makeShortcut(const std::string& link, const std::string& target) {
    IShellLinkA* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shellLink))))
        return false;
    shellLink->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR wide[MAX_PATH];
        MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
        saved = SUCCEEDED(file->Save(wide, TRUE));
        file->Release();
    }
    shellLink->Release();
    return saved;
}

TEST(PluginDropTargetTest, IdentityCountsAndDragEffects) {
    auto* target = new PluginDropTarget(nullptr);
    EXPECT_EQ(target->AddRef(), 1u);
    void* asked = nullptr;
    EXPECT_EQ(target->QueryInterface(IID_IDropTarget, &asked), S_OK);
    EXPECT_EQ(asked, static_cast<IDropTarget*>(target));
    EXPECT_EQ(target->QueryInterface(IID_IUnknown, &asked), S_OK);
    EXPECT_EQ(target->QueryInterface(IID_IDataObject, &asked), E_NOINTERFACE);
    EXPECT_EQ(asked, nullptr);
    EXPECT_EQ(target->Release(), 2u);

    TestDataObject text = textData("abc");
    TestDataObject files = fileData({"C:\\a.txt"});
    TestDataObject nothing(0, {});
    DWORD effect = 0;
    target->DragEnter(&text, 0, POINTL{0, 0}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    target->DragOver(MK_CONTROL, POINTL{0, 0}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    target->DragEnter(&files, MK_CONTROL, POINTL{0, 0}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    target->DragEnter(&nothing, MK_CONTROL, POINTL{0, 0}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    target->DragOver(0, POINTL{0, 0}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    // Without a window a drop delivers nothing but still succeeds.
    EXPECT_EQ(target->Drop(&text, 0, POINTL{0, 0}, &effect), S_OK);
    EXPECT_EQ(target->Release(), 1u);
    EXPECT_EQ(target->Release(), 0u);
}

class DropTest : public ::testing::Test {
protected:
    DropTest() : parent(200, 100) {
        OleInitialize(nullptr);
        window = new PluginWindow(UiRect{0, 0, 200, 100}, parent.handle(), nullptr);
        widget = new RecordingWidget(UiRect{0, 0, 200, 100});
        window->addChild(widget);
        widget->removedFlag = &removed;
        child = static_cast<HWND>(window->getChildWindow());
        RECT frame;
        GetWindowRect(child, &frame);
        cursorPlaced = placeCursor(frame.left + 20, frame.top + 30);
    }
    ~DropTest() override {
        delete window;
        OleUninitialize();
    }

    // The target the window registered with OLE, reached as OLE itself would reach it.
    IDropTarget* registeredTarget() { return static_cast<IDropTarget*>(GetPropA(child, "OleDropTargetInterface")); }

    ParentWindow parent;
    PluginWindow* window;
    RecordingWidget* widget;
    HWND child;
    bool removed = false;
    bool cursorPlaced = false;
};

TEST_F(DropTest, TextReachesTheWidgetUnderTheCursorWithItsSize) {
    ASSERT_TRUE(cursorPlaced);
    IDropTarget* target = registeredTarget();
    ASSERT_NE(target, nullptr);
    TestDataObject text = textData("dropped text");
    DWORD effect = 0;
    ASSERT_EQ(target->DragEnter(&text, 0, POINTL{0, 0}, &effect), S_OK);
    EXPECT_EQ(target->Drop(&text, 0, POINTL{0, 0}, &effect), S_OK);
    ASSERT_EQ(widget->drops, 1);
    EXPECT_EQ(widget->dropKind, DropText);
    EXPECT_EQ(widget->dropCount, static_cast<int32_t>(text.handedOutSize));
    EXPECT_GE(widget->dropCount, 13);
    EXPECT_EQ(widget->dropped[0], "dropped text");
    EXPECT_EQ(widget->lastWhere.h, 20);
    EXPECT_EQ(widget->lastWhere.v, 30);
}

TEST_F(DropTest, FilesArriveByNameWithShortcutsResolvedToTheirTarget) {
    const std::string plain = tempPath("vozuv_drop_plain.txt");
    const std::string target = tempPath("vozuv_drop_target.txt");
    const std::string shortcut = tempPath("vozuv_drop_link.LNK");
    writeFile(plain);
    writeFile(target);
    ASSERT_TRUE(makeShortcut(shortcut, target));
    char shortTarget[MAX_PATH];
    ASSERT_TRUE(GetShortPathNameA(target.c_str(), shortTarget, sizeof shortTarget));

    TestDataObject files = fileData({plain, shortcut});
    DWORD effect = 0;
    EXPECT_EQ(registeredTarget()->Drop(&files, 0, POINTL{0, 0}, &effect), S_OK);
    ASSERT_EQ(widget->drops, 1);
    EXPECT_EQ(widget->dropKind, DropFiles);
    EXPECT_EQ(widget->dropCount, 2);
    ASSERT_EQ(widget->dropped.size(), 2u);
    EXPECT_EQ(widget->dropped[0], plain);
    // The shortcut's target, in short form where the system gives one.
    char deliveredShort[MAX_PATH] = "";
    GetShortPathNameA(widget->dropped[1].c_str(), deliveredShort, sizeof deliveredShort);
    EXPECT_STRCASEEQ(deliveredShort, shortTarget);

    // A shortcut that leads nowhere keeps its own name.
    const std::string broken = tempPath("vozuv_drop_broken.lnk");
    writeFile(broken);
    TestDataObject brokenFiles = fileData({broken});
    registeredTarget()->Drop(&brokenFiles, 0, POINTL{0, 0}, &effect);
    ASSERT_EQ(widget->dropped.size(), 1u);
    EXPECT_EQ(widget->dropped[0], broken);

    DeleteFileA(plain.c_str());
    DeleteFileA(target.c_str());
    DeleteFileA(shortcut.c_str());
    DeleteFileA(broken.c_str());
}

TEST_F(DropTest, RefusedWhileAWidgetHasTheFocus) {
    window->setFocusWidget(widget);
    TestDataObject text = textData("ignored");
    DWORD effect = 0;
    EXPECT_EQ(registeredTarget()->Drop(&text, 0, POINTL{0, 0}, &effect), S_OK);
    EXPECT_EQ(widget->drops, 0);
    window->setFocusWidget(nullptr);
}

TEST_F(DropTest, RevokedBeforeTheChildrenAreReleased) {
    EXPECT_NE(registeredTarget(), nullptr);
    EXPECT_TRUE(window->setDropActive(false));
    EXPECT_EQ(registeredTarget(), nullptr);
    EXPECT_TRUE(window->setDropActive(true));
    EXPECT_NE(registeredTarget(), nullptr);

    widget->retain();  // outlives the window for the look afterwards
    delete window;
    window = nullptr;
    EXPECT_TRUE(removed);
    EXPECT_EQ(widget->dropTargetAtRemoval, nullptr);
    widget->release();
}

TEST_F(DropTest, HostDestroyingItsWindowFirstStillEndsTheRegistration) {
    IDropTarget* target = registeredTarget();
    ASSERT_NE(target, nullptr);
    target->AddRef();
    DestroyWindow(parent.handle());
    EXPECT_FALSE(window->isOpen());
    EXPECT_EQ(target->Release(), 0u);  // OLE let go of it: ours was the last reference
}

}  // namespace
