// EditorScaleTest: the editor at 150 % and 200 %: its picture, its knobs at their scaled places, the size
// menu, the host's resize, the stored choice and the system's default.
#include <gtest/gtest.h>

#include <cairo.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "editor/PanelLayout.h"
#include "editor/ScaleMenu.h"
#include "gui/core/UiScale.h"
#include "gui/platform/cairo/HeadlessSystem.h"
#include "tests/editor/EditorRig.h"
#include "tests/editor/FreedMemoryQuarantine.h"

namespace {

// Every test keeps its settings in a folder of its own: nothing reads or writes the user's.
class EditorScale : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = testing::TempDir() + "vozuv-scale-XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        if (const char* old = std::getenv("XDG_CONFIG_HOME")) previous = old;
        setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
        HeadlessSystem::displayScale = 1.0;
    }
    void TearDown() override {
        std::remove((folder + "/VozuvAzirOVA/settings").c_str());
        HeadlessSystem::displayScale = 1.0;
        if (previous.empty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", previous.c_str(), 1);
    }
    void storeSetting(const std::string& text) {
        mkdir((folder + "/VozuvAzirOVA").c_str(), 0700);
        std::ofstream(folder + "/VozuvAzirOVA/settings") << text;
    }
    std::string folder;
    std::string previous;
};

bool asksSizeWindow(const HostRequest& r) {
    return r.opcode == audioMasterCanDo && r.ptr && std::string(static_cast<const char*>(r.ptr)) == "sizeWindow";
}

// An editor opened and painted at a scale, on a host that can resize its window (or refuses to).
struct ScaledRig : EditorRig {
    explicit ScaledRig(int32_t percent, VstIntPtr sizeAnswer = 1) {
        RecordingHost::instance().answer = [sizeAnswer](const HostRequest& r) -> VstIntPtr {
            if (asksSizeWindow(r)) return 1;
            return r.opcode == audioMasterSizeWindow ? sizeAnswer : 0;
        };
        editor->setScale(percent);
        openAndPaint();
    }
    UiPoint at(UiPoint panel) const { return uiscale::toDevice(panel, window()->getScale()); }
    // One button message at a panel point with the button held while it is handled, like a real click.
    void press(UiPoint panel, int32_t button) {
        const UiPoint where = at(panel), origin = child()->screenOrigin();
        ScriptedInput::instance().setState(button, UiPoint{origin.h + where.h, origin.v + where.v});
        child()->mouseDown(button, where);
        ScriptedInput::instance().setState(0, UiPoint{origin.h + where.h, origin.v + where.v});
    }
    ERect rect() {
        ERect* r = nullptr;
        dispatch(effEditGetRect, 0, 0, &r);
        return *r;
    }
};

uint32_t rgbAt(const HeadlessWindow* w, int x, int y) { return w->pixel(x, y).rgb(); }

}  // namespace

// A drag on each knob, a wheel notch over it and a Control-click, all at the knob's scaled place, give
// the parameter the values they give at 100 %.
TEST_F(EditorScale, KnobGesturesAtTheScaledPlacesGiveTheValuesOf100Percent) {
    std::vector<float> expected;
    for (int32_t percent : uiscale::kSteps) {
        SCOPED_TRACE(std::to_string(percent) + " %");
        ScaledRig rig(percent);
        ASSERT_EQ(rig.child()->width(), uiscale::toDevice(layout::kPanelWidth, percent));
        std::vector<float> values;
        for (const VstInt32 parameter : layout::kControlledParameters) {
            const int32_t left = layout::kKnobLeft(parameter), top = layout::kKnobTop;
            rig.child()->drag({rig.at({left + 21, top + 18}), rig.at({left + 33, top + 3}), rig.at({left + 40, top + 25})});
            values.push_back(rig.plugin->getParameter(parameter));
            const UiPoint origin = rig.child()->screenOrigin(), place = rig.at({left + 5, top + 30});
            ScriptedInput::instance().setCursor(UiPoint{origin.h + place.h, origin.v + place.v});
            EXPECT_TRUE(rig.editor->onWheel(-1.0f));
            values.push_back(rig.plugin->getParameter(parameter));
            rig.child()->click(rig.at({left + 2, top + 2}), KeyControl);
            values.push_back(rig.plugin->getParameter(parameter));
        }
        if (expected.empty()) expected = values;
        EXPECT_EQ(values, expected);
    }
}

// A paint of a single device pixel, at the first, middle or last pixel of a unit's span, along the rows
// and columns where the window's and the controls' edges lie, gives that pixel as the whole paint does.
TEST_F(EditorScale, OnePixelPaintsGiveTheWholePicturesPixels) {
    for (int32_t percent : {150, 200}) {
        SCOPED_TRACE(percent);
        ScaledRig rig(percent);
        HeadlessWindow* child = rig.child();
        const int32_t width = child->width(), height = child->height();
        std::vector<uint32_t> whole(size_t(width) * size_t(height));
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) whole[size_t(y) * size_t(width) + size_t(x)] = rgbAt(child, x, y);
        // Rows and columns of the panel's edges and of a knob's and its read-out's, each with its neighbours.
        using namespace layout;
        std::vector<int32_t> rows, columns;
        for (int32_t unit : {0, kKnobTop, kKnobTop + kKnobHeight, kReadoutTop, kReadoutTop + kReadoutHeight, kPanelHeight})
            for (int32_t y = uiscale::toDevice(unit, percent) - 2; y <= uiscale::toDevice(unit, percent) + 1; ++y)
                if (y >= 0 && y < height) rows.push_back(y);
        for (int32_t unit : {0, kReadoutLeft(7), kKnobLeft(7), kKnobLeft(7) + kKnobWidth, kReadoutLeft(7) + kReadoutWidth,
                             kPanelWidth})
            for (int32_t x = uiscale::toDevice(unit, percent) - 2; x <= uiscale::toDevice(unit, percent) + 1; ++x)
                if (x >= 0 && x < width) columns.push_back(x);
        auto check = [&](int32_t x, int32_t y) {
            // Another colour first, so that a pixel the paint misses shows.
            cairo_surface_t* image = child->image();
            cairo_surface_flush(image);
            auto* row = reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(image) +
                                                    size_t(y) * size_t(cairo_image_surface_get_stride(image)));
            row[x] = 0xFF00FF;
            cairo_surface_mark_dirty(image);
            child->paint(UiRect{x, y, x + 1, y + 1});
            return rgbAt(child, x, y) == whole[size_t(y) * size_t(width) + size_t(x)];
        };
        int missed = 0;
        for (int32_t y : rows)
            for (int32_t x = 0; x < width; ++x)
                if (!check(x, y) && ++missed < 4) ADD_FAILURE() << "pixel " << x << "," << y;
        for (int32_t x : columns)
            for (int32_t y = 0; y < height; ++y)
                if (!check(x, y) && ++missed < 4) ADD_FAILURE() << "pixel " << x << "," << y;
        EXPECT_EQ(missed, 0);
    }
}

// The 200 % picture shows the 100 % scene, but drawn at its size: not a copy with every pixel doubled.
TEST_F(EditorScale, The200PercentPictureIsDrawnNotPixelDoubled) {
    ScaledRig small(100), large(200);
    const HeadlessWindow* one = small.child();
    const HeadlessWindow* two = large.child();
    ASSERT_EQ(two->width(), 1524);
    ASSERT_EQ(two->height(), 208);
    // Each 2 x 2 block against the pixel it doubles: alike on average, but many blocks hold an edge.
    auto compareBlocks = [&](UiRect area, double& meanDifference, double& detailedShare) {
        double difference = 0;
        int detailed = 0, blocks = 0;
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x, ++blocks) {
                const uint32_t p[4] = {rgbAt(two, 2 * x, 2 * y), rgbAt(two, 2 * x + 1, 2 * y),
                                       rgbAt(two, 2 * x, 2 * y + 1), rgbAt(two, 2 * x + 1, 2 * y + 1)};
                detailed += !(p[0] == p[1] && p[0] == p[2] && p[0] == p[3]);
                for (int shift = 0; shift < 24; shift += 8) {
                    double mean = 0;
                    for (uint32_t q : p) mean += (q >> shift & 0xFF) / 4.0;
                    difference += std::fabs(mean - (rgbAt(one, x, y) >> shift & 0xFF)) / 3.0;
                }
            }
        }
        meanDifference = difference / blocks;
        detailedShare = double(detailed) / blocks;
    };
    struct Area {
        const char* what;
        UiRect panel;
        double maximumDifference;  // mean over the blocks, in colour levels
        double minimumDetail;      // share of blocks that are not one colour
    };
    // Text is drawn at its own size, so its letters differ most from the doubled ones.
    const Area areas[] = {{"whole panel", {0, 0, 762, 104}, 8.0, 0.5},
                          {"read-out texts", {418, 83, 669, 92}, 32.0, 0.5},
                          {"knob of parameter 7", {423, 39, 465, 76}, 4.0, 0.8},
                          {"meter captions", {330, 8, 420, 20}, 24.0, 0.6}};
    for (const Area& a : areas) {
        double meanDifference = 0, detailedShare = 0;
        compareBlocks(a.panel, meanDifference, detailedShare);
        EXPECT_LT(meanDifference, a.maximumDifference) << a.what;
        EXPECT_GT(detailedShare, a.minimumDetail) << a.what;
    }
}

// The size menu: a secondary click opens it anywhere, a click on "200%" resizes through the host,
// stores the choice, and the next instance starts there. A host that refuses keeps the old size whole.
TEST_F(EditorScale, TheMenuResizesThroughTheHostAndLaterInstancesStartAtTheChoice) {
    ScaledRig rig(100);
    auto pick = [&rig](UiPoint panelWhere, int32_t step) {
        rig.press(panelWhere, MouseRight);
        ASSERT_NE(rig.window()->getModalWidget(), nullptr) << "menu shown";
        int index = 0;
        while (uiscale::kSteps[index] != step) ++index;
        const UiPoint item{panelWhere.h + ScaleMenu::kPadding + ScaleMenu::kItemWidth / 2,
                           panelWhere.v + ScaleMenu::kPadding + index * ScaleMenu::kItemHeight + 6};
        rig.press(item, MouseLeft);
        EXPECT_EQ(rig.window()->getModalWidget(), nullptr) << "menu closed";
    };
    pick({300, 30}, 200);
    EXPECT_EQ(rig.editor->getScale(), 200);
    EXPECT_EQ(rig.child()->width(), 1524);
    EXPECT_EQ(rig.child()->height(), 208);
    EXPECT_EQ(rig.rect().right, 1524);
    EXPECT_EQ(rig.rect().bottom, 208);
    bool asked = false;
    for (const HostRequest& r : RecordingHost::instance().requests)
        asked |= r.opcode == audioMasterSizeWindow && r.index == 1524 && r.value == 208;
    EXPECT_TRUE(asked);
    EXPECT_NE(rgbAt(rig.child(), 1523, 207), HeadlessWindow::backgroundRgb) << "the panel fills the new size";
    EXPECT_EQ(CompGateEditor::storedScale(), 200);
    {
        CompGatePlugin later(RecordingHost::callback);
        ERect* r = nullptr;
        later.dispatch(effEditGetRect, 0, 0, &r, 0.0f);
        EXPECT_EQ(r->right, 1524);
        EXPECT_EQ(r->bottom, 208);
    }

    // Refused: size, scale, rectangle and picture stay; a click outside the items only closes the menu.
    RecordingHost::instance().answer = [](const HostRequest& r) -> VstIntPtr { return asksSizeWindow(r) ? 1 : 0; };
    const uint32_t corner = rgbAt(rig.child(), 1523, 207);
    pick({700, 60}, 150);
    EXPECT_EQ(rig.editor->getScale(), 200);
    EXPECT_EQ(rig.child()->width(), 1524);
    EXPECT_EQ(rig.rect().right, 1524);
    EXPECT_EQ(rgbAt(rig.child(), 1523, 207), corner);
    rig.press({20, 20}, MouseRight);
    EXPECT_NE(rig.window()->getModalWidget(), nullptr);
    rig.press({700, 20}, MouseLeft);
    EXPECT_EQ(rig.window()->getModalWidget(), nullptr);
    EXPECT_EQ(rig.editor->getScale(), 200);
}

// The menu opens at the pointer, pushed back inside the panel at its right and bottom edges; each item
// answers over its whole cell and nowhere else; the scale in use is the marked item.
TEST_F(EditorScale, TheMenuStaysOnThePanelAndItsItemsAnswerOverTheirCells) {
    ScaledRig rig(150);
    const int32_t width = ScaleMenu::kItemWidth + 2 * ScaleMenu::kPadding;
    const int32_t height = 3 * ScaleMenu::kItemHeight + 2 * ScaleMenu::kPadding;
    const std::pair<UiPoint, UiPoint> places[] = {{{0, 0}, {0, 0}},
                                                  {{760, 100}, {762 - width, 104 - height}},
                                                  {{712, 61}, {712, 61}},
                                                  {{713, 62}, {712, 61}}};
    for (const auto& p : places) {
        rig.press(p.first, MouseRight);
        auto* menu = dynamic_cast<ScaleMenu*>(rig.window()->getModalWidget());
        ASSERT_NE(menu, nullptr);
        UiRect b;
        menu->getBounds(b);
        EXPECT_EQ(b.left, p.second.h) << p.first.h;
        EXPECT_EQ(b.top, p.second.v) << p.first.v;
        EXPECT_EQ(b.right - b.left, width);
        EXPECT_EQ(b.bottom - b.top, height);
        rig.press({300, 10}, MouseLeft);  // away from the menu: closes it
        ASSERT_EQ(rig.window()->getModalWidget(), nullptr);
    }
    rig.press({100, 20}, MouseRight);
    auto* menu = dynamic_cast<ScaleMenu*>(rig.window()->getModalWidget());
    ASSERT_NE(menu, nullptr);
    const int32_t l = 100 + ScaleMenu::kPadding, t = 20 + ScaleMenu::kPadding, w = ScaleMenu::kItemWidth,
                  h = ScaleMenu::kItemHeight;
    const std::pair<UiPoint, int32_t> items[] = {
        {{l, t}, 100},     {{l + w - 1, t}, 100},     {{l + w, t}, 0},
        {{l - 1, t}, 0},   {{l, t - 1}, 0},           {{l, t + h - 1}, 100},
        {{l, t + h}, 150}, {{l, t + 3 * h - 1}, 200}, {{l, t + 3 * h}, 0}};
    for (const auto& i : items) EXPECT_EQ(menu->stepAt(i.first), i.second) << i.first.h << "," << i.first.v;
    rig.child()->paint();
    const uint32_t mark = 0xAB5C2A;  // the panel's blue, 42 92 171
    for (int32_t item = 0; item < 3; ++item) {
        const UiPoint cell = rig.at({l + 1, t + item * h + 1});
        EXPECT_EQ(rgbAt(rig.child(), cell.h, cell.v) == mark, item == 1) << "item " << item;
    }
}

// Without a valid stored choice the system's scale decides, rounded to the nearest step.
TEST_F(EditorScale, BadStoredSettingsFallBackToTheSystemsScale) {
    struct Case {
        const char* stored;
        double system;
        int32_t expected;
    };
    const Case cases[] = {{nullptr, 1.0, 100},           {nullptr, 1.5, 150},          {nullptr, 2.0, 200},
                          {nullptr, 1.2, 100},           {nullptr, 1.3, 150},          {nullptr, 1.8, 200},
                          {"EditorScale=150\n", 2.0, 150}, {"EditorScale=175\n", 1.0, 100}, {"EditorScale=abc\n", 1.5, 150},
                          {"EditorScale=\n", 1.0, 100},  {"\x01\xff garbage", 2.0, 200}, {"EditorScale=200junk\n", 1.0, 100}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stored ? c.stored : "(none)") + " with system " + std::to_string(c.system));
        std::remove((folder + "/VozuvAzirOVA/settings").c_str());
        if (c.stored) storeSetting(c.stored);
        HeadlessSystem::displayScale = c.system;
        CompGatePlugin plugin(RecordingHost::callback);
        ERect* r = nullptr;
        plugin.dispatch(effEditGetRect, 0, 0, &r, 0.0f);
        EXPECT_EQ(r->right, uiscale::toDevice(762, c.expected));
        EXPECT_EQ(r->bottom, uiscale::toDevice(104, c.expected));
    }
}

// The system's scale asked again at open (the host's window may know better) decides only while the user
// has chosen nothing, neither stored nor through the editor.
TEST_F(EditorScale, AtOpenTheSystemsScaleDecidesOnlyWithoutAChoice) {
    struct Case {
        const char* stored;
        int32_t chosen;  // 0: none
        double systemAtOpen;
        int32_t expected;
    };
    const Case cases[] = {{nullptr, 0, 2.0, 200},
                          {nullptr, 0, 1.0, 100},
                          {"EditorScale=150\n", 0, 2.0, 150},
                          {nullptr, 150, 2.0, 150}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stored ? c.stored : "(none)") + " chosen " + std::to_string(c.chosen));
        std::remove((folder + "/VozuvAzirOVA/settings").c_str());
        if (c.stored) storeSetting(c.stored);
        HeadlessSystem::displayScale = 1.0;
        EditorRig rig;
        if (c.chosen) rig.editor->setScale(c.chosen);
        HeadlessSystem::displayScale = c.systemAtOpen;
        rig.open();
        EXPECT_EQ(rig.editor->getScale(), c.expected);
        ASSERT_NE(rig.child(), nullptr);
        EXPECT_EQ(rig.child()->width(), uiscale::toDevice(762, c.expected));
    }
}

// A host that cannot "sizeWindow": the editor resizes its own window and the host's around it.
TEST_F(EditorScale, WithoutTheHostsSizeWindowTheWindowChainGrows) {
    ScaledRig rig(100, 0);
    RecordingHost::instance().answer = [](const HostRequest&) -> VstIntPtr { return 0; };
    const int32_t margin = rig.host->width() - 762;
    EXPECT_TRUE(rig.editor->setScale(200));
    EXPECT_EQ(rig.child()->width(), 1524);
    EXPECT_EQ(rig.host->width(), 1524 + margin);
    EXPECT_EQ(rig.rect().right, 1524);
    for (const HostRequest& r : RecordingHost::instance().requests) EXPECT_NE(r.opcode, audioMasterSizeWindow);
}

// A host that closes the editor while it resizes it for the menu's choice: nothing that went with the
// window is touched afterwards (the quarantine shows a write into it, a read of a pointer from it faults).
TEST_F(EditorScale, AHostClosingTheEditorWhileItResizesLeavesNothingBehind) {
    ScaledRig rig(100);
    EditorRig* self = &rig;
    RecordingHost::instance().answer = [self](const HostRequest& r) -> VstIntPtr {
        if (r.opcode == audioMasterSizeWindow) self->close();
        return asksSizeWindow(r) || r.opcode == audioMasterSizeWindow ? 1 : 0;
    };
    rig.press({300, 30}, MouseRight);
    quarantine::start();
    rig.press({300 + ScaleMenu::kPadding + 20, 30 + ScaleMenu::kPadding + 2 * ScaleMenu::kItemHeight + 6}, MouseLeft);
    EXPECT_EQ(quarantine::end(), 0) << "blocks written to after they were freed";
    EXPECT_EQ(rig.window(), nullptr);
    EXPECT_FALSE(rig.editor->isEditorOpen());
    EXPECT_EQ(CompGateEditor::storedScale(), 200);
}
