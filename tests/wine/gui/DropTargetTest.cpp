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
#include "TestDataObject.h"
#include "gui/core/PluginWindow.h"
#include "gui/platform/win32/PluginDropTarget.h"

namespace {

using testdata::TestDataObject;
using testdata::fileData;
using testdata::tempPath;
using testdata::textData;
using testdata::writeFile;

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

    // Without a window nobody can take the data: no effect whatever the source offers.
    TestDataObject text = textData("abc");
    DWORD effect = DROPEFFECT_MOVE | DROPEFFECT_COPY;
    target->DragEnter(&text, 0, POINTL{0, 0}, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    effect = DROPEFFECT_MOVE | DROPEFFECT_COPY;
    EXPECT_EQ(target->Drop(&text, 0, POINTL{0, 0}, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
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
    DWORD effect = DROPEFFECT_COPY;
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
    DWORD effect = DROPEFFECT_COPY;
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
    effect = DROPEFFECT_COPY;
    registeredTarget()->Drop(&brokenFiles, 0, POINTL{0, 0}, &effect);
    ASSERT_EQ(widget->dropped.size(), 1u);
    EXPECT_EQ(widget->dropped[0], broken);

    DeleteFileA(plain.c_str());
    DeleteFileA(target.c_str());
    DeleteFileA(shortcut.c_str());
    DeleteFileA(broken.c_str());
}

// A source that offers MOVE deletes its file when the target answers MOVE; the editor only ever copies.
TEST_F(DropTest, EffectIsCopyOverAnAcceptingWidgetAndNoneElsewhere) {
    const std::string path = tempPath("vozuv_drop_effect.txt");
    writeFile(path);
    TestDataObject files = fileData({path});
    const DWORD offered = DROPEFFECT_MOVE | DROPEFFECT_COPY;
    RECT frame;
    GetWindowRect(child, &frame);
    const POINTL inside{frame.left + 20, frame.top + 30}, outside{frame.right + 50, frame.top + 30};
    IDropTarget* target = registeredTarget();
    ASSERT_NE(target, nullptr);
    auto answer = [&](DWORD keys, POINTL where, bool enter) {
        DWORD effect = offered;
        if (enter)
            target->DragEnter(&files, keys, where, &effect);
        else
            target->DragOver(keys, where, &effect);
        return effect;
    };

    EXPECT_EQ(answer(0, inside, true), static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(answer(0, inside, false), static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(answer(MK_CONTROL, inside, false), static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(answer(0, outside, false), static_cast<DWORD>(DROPEFFECT_NONE));
    DWORD moveOnly = DROPEFFECT_MOVE;
    target->DragOver(0, inside, &moveOnly);
    EXPECT_EQ(moveOnly, static_cast<DWORD>(DROPEFFECT_NONE));
    DWORD effect = offered;
    EXPECT_EQ(target->Drop(&files, 0, inside, &effect), S_OK);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(widget->drops, 1);

    widget->accepts = false;
    EXPECT_EQ(answer(0, inside, true), static_cast<DWORD>(DROPEFFECT_NONE));
    effect = offered;
    target->Drop(&files, 0, inside, &effect);
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(path.c_str());
}

TEST_F(DropTest, RefusedWhileAWidgetHasTheFocus) {
    window->setFocusWidget(widget);
    TestDataObject text = textData("ignored");
    DWORD effect = DROPEFFECT_COPY;
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
