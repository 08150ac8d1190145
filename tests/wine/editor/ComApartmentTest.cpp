// ComApartmentTest: the plug-in leaves the COM state of the host's threads as it found it, and its editor
// still registers its drop target.
#include <objbase.h>
#include <ole2.h>
#include <shlobj.h>

#include <thread>

#include "tests/wine/editor/HostedEditorFixture.h"
#include "tests/wine/editor/HostInput.h"

namespace {

// What CoInitializeEx(MTA) answers on the calling thread, undoing what it did: S_OK when COM is not
// initialised there, S_FALSE in the multithreaded apartment, RPC_E_CHANGED_MODE in a single-threaded one.
HRESULT probeApartment() {
    const HRESULT answer = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (SUCCEEDED(answer)) CoUninitialize();
    return answer;
}

class ComApartmentTest : public HostedEditorFixture {
protected:
    bool dropTargetRegistered() const { return GetPropA(editorWindow, "OleDropTargetInterface") != nullptr; }
};

TEST_F(ComApartmentTest, CreatedOnOneThreadAndClosedOnAnotherLeavesBothAsTheyWere) {
    HANDLE created = CreateEventA(nullptr, TRUE, FALSE, nullptr), closed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    PluginHost other;
    bool instantiated = false;
    HRESULT creatorAfterOpen = E_FAIL, creatorAfterClose = E_FAIL, closerBefore = E_FAIL, closerAfter = E_FAIL;
    std::thread creator([&] {
        instantiated = other.instantiate(binary.library.entry());
        if (instantiated) other.dispatch(effOpen);
        creatorAfterOpen = probeApartment();
        SetEvent(created);
        WaitForSingleObject(closed, 20000);
        creatorAfterClose = probeApartment();
    });
    WaitForSingleObject(created, 20000);
    std::thread closer([&] {
        closerBefore = probeApartment();
        other.close();
        closerAfter = probeApartment();
    });
    closer.join();
    SetEvent(closed);
    creator.join();
    CloseHandle(created);
    CloseHandle(closed);

    ASSERT_TRUE(instantiated) << other.error();
    EXPECT_EQ(creatorAfterOpen, S_OK) << "main and effOpen changed the creating thread's apartment";
    EXPECT_EQ(closerBefore, S_OK);
    EXPECT_EQ(closerAfter, S_OK) << "effClose changed the closing thread's apartment";
    EXPECT_EQ(creatorAfterClose, S_OK);
}

TEST_F(ComApartmentTest, HostThreadInTheMultithreadedApartmentKeepsItThroughAnEditor) {
    HRESULT hostInit = E_FAIL, stillMultithreaded = E_FAIL, balanced = E_FAIL;
    bool instantiated = false, opened = false, shellWorks = false;
    std::thread hostThread([&] {
        hostInit = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        PluginHost multithreaded;
        instantiated = multithreaded.instantiate(binary.library.entry());
        if (instantiated) {
            HWND frame = CreateWindowExA(0, "STATIC", "MTA host", WS_POPUP | WS_VISIBLE, 40, 200, layout::kPanelWidth,
                                         layout::kPanelHeight, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
            multithreaded.dispatch(effOpen);
            multithreaded.dispatch(effEditOpen, 0, 0, frame);
            opened = FindWindowExA(frame, nullptr, binary.className.c_str(), nullptr) != nullptr;
            hostinput::pumpMessages();
            multithreaded.dispatch(effEditIdle);
            multithreaded.dispatch(effEditClose);
            multithreaded.close();
            DestroyWindow(frame);
            hostinput::pumpMessages();
        }
        // The host's own COM still works as before.
        IUnknown* shellLink = nullptr;
        shellWorks = SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                                                reinterpret_cast<void**>(&shellLink)));
        if (shellLink) shellLink->Release();
        stillMultithreaded = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        if (SUCCEEDED(stillMultithreaded)) CoUninitialize();
        if (SUCCEEDED(hostInit)) CoUninitialize();
        balanced = probeApartment();  // the host's one initialisation undone: nothing may be left
    });
    hostThread.join();

    ASSERT_EQ(hostInit, S_OK);
    ASSERT_TRUE(instantiated);
    EXPECT_TRUE(opened) << "the editor did not open in a multithreaded host thread";
    EXPECT_TRUE(shellWorks);
    EXPECT_EQ(stillMultithreaded, S_FALSE) << "the host thread lost its multithreaded apartment";
    EXPECT_EQ(balanced, S_OK) << "an initialisation was left behind or taken away";
}

TEST_F(ComApartmentTest, OpenEditorRegistersItsDropTargetAndClosingUndoesItsOle) {
    EXPECT_EQ(probeApartment(), S_OK) << "main initialised COM on the host's thread";
    for (int round = 0; round < 2; ++round) {
        ASSERT_NO_FATAL_FAILURE(openEditor());
        EXPECT_TRUE(dropTargetRegistered()) << "round " << round;
        closeEditor();
        EXPECT_EQ(probeApartment(), S_OK) << "closing the editor left OLE initialised, round " << round;
    }
    // A host that initialised OLE itself keeps exactly its own initialisation.
    ASSERT_EQ(OleInitialize(nullptr), S_OK);
    ASSERT_NO_FATAL_FAILURE(openEditor());
    EXPECT_TRUE(dropTargetRegistered());
    closeEditor();
    OleUninitialize();
    EXPECT_EQ(probeApartment(), S_OK);
}

}  // namespace
