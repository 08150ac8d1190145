// EditorLifetimeTest: closing, reopening and closing the plug-in leave no window, window class or GDI object.
#include <thread>
#include <vector>

#include "tests/wine/editor/HostedEditorFixture.h"
#include "tests/wine/editor/GdiCensus.h"
#include "tests/wine/editor/HostInput.h"

namespace {

class EditorLifetimeTest : public HostedEditorFixture {
protected:
    bool classRegistered() const {
        WNDCLASSA info{};
        return GetClassInfoA(binary.module, binary.className.c_str(), &info) != 0;
    }
    // One full use of an open editor: paint, audio, automation, idles.
    void exercise() {
        std::vector<float> in(2048, 0.7f), out(2048);
        const float* inputs[2] = {in.data(), in.data()};
        float* outputs[2] = {out.data(), out.data()};
        host->processBlocks(inputs, outputs, 2, 2048, 512);
        host->setParameter(7, 0.4f);
        idle(12);
        host->setParameter(7, 1.0f);
        idle();
    }
};

TEST_F(EditorLifetimeTest, CensusSeesEveryKindOfProbeObjectComeAndGo) {
    const GdiCensus before = GdiCensus::take();
    ASSERT_GT(before.total(), 0) << "no GDI object found at all: the census does not work here";
    HDC screen = GetDC(nullptr);
    HGDIOBJ probes[] = {CreateSolidBrush(RGB(1, 2, 3)), CreatePen(PS_SOLID, 1, RGB(1, 2, 3)),
                        CreateCompatibleBitmap(screen, 4, 4), CreateCompatibleDC(screen),
                        CreateFontA(12, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial"),
                        CreateRectRgn(0, 0, 4, 4)};
    ReleaseDC(nullptr, screen);
    const GdiCensus during = GdiCensus::take();
    for (DWORD type : {OBJ_BRUSH, OBJ_PEN, OBJ_BITMAP, OBJ_MEMDC, OBJ_FONT, OBJ_REGION}) {
        EXPECT_EQ(during.count(type), before.count(type) + 1) << "object type " << type;
    }
    for (HGDIOBJ probe : probes) {
        if (GetObjectType(probe) == OBJ_MEMDC)
            DeleteDC(static_cast<HDC>(probe));
        else
            DeleteObject(probe);
    }
    const GdiCensus after = GdiCensus::take();
    EXPECT_TRUE(after == before) << after.changesSince(before);
}

TEST_F(EditorLifetimeTest, ReopeningLeavesNoWindowClassOrGdiObjectBehind) {
    // The first opening creates what lives as long as the process (cached device contexts, stock fonts).
    ASSERT_NO_FATAL_FAILURE(openEditor());
    exercise();
    closeEditor();
    const GdiCensus before = GdiCensus::take();

    for (int round = 0; round < 3; ++round) {
        ASSERT_NO_FATAL_FAILURE(openEditor());
        EXPECT_TRUE(classRegistered());
        EXPECT_EQ(editorChildCount(), 1);
        exercise();
        HWND opened = editorWindow;
        closeEditor();
        EXPECT_FALSE(IsWindow(opened)) << "round " << round;
        EXPECT_EQ(FindWindowExA(parent, nullptr, binary.className.c_str(), nullptr), nullptr);
        EXPECT_EQ(editorChildCount(), 0) << "round " << round;
        EXPECT_FALSE(classRegistered()) << "class still registered after the last window closed, round " << round;
    }
    const GdiCensus after = GdiCensus::take();
    EXPECT_TRUE(after == before) << "three open/close rounds: " << after.changesSince(before);
}

TEST_F(EditorLifetimeTest, ClosingThePluginWithItsEditorOpenTakesWindowAndObjectsAlong) {
    // One whole plug-in life first, so that what the process keeps anyway exists before the census.
    ASSERT_NO_FATAL_FAILURE(openEditor());
    exercise();
    closeEditor();
    host.reset();
    const GdiCensus before = GdiCensus::take();

    for (int round = 0; round < 2; ++round) {
        host = startPlugin();
        ASSERT_TRUE(host);
        ASSERT_NO_FATAL_FAILURE(openEditor());
        exercise();
        HWND opened = editorWindow;
        // Some hosts close the effect without closing its editor first.
        host->close();
        editorOpen = false;
        editorWindow = nullptr;
        hostinput::pumpMessages();
        EXPECT_FALSE(IsWindow(opened)) << "round " << round;
        EXPECT_EQ(editorChildCount(), 0) << "round " << round;
        EXPECT_FALSE(classRegistered()) << "round " << round;
        host.reset();
    }
    const GdiCensus after = GdiCensus::take();
    EXPECT_TRUE(after == before) << "two plug-in lives: " << after.changesSince(before);
    host = startPlugin();  // for TearDown
}

}  // namespace
