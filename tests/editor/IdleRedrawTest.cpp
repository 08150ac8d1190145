// Idle passes draw only the controls whose picture changed: a mark painted over every control survives a
// pass where nothing changed, and only the controls of a change lose theirs.
#include <cairo.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "effect/CompGateParameters.h"
#include "tests/editor/EditorRig.h"

namespace {

constexpr uint32_t kMark = 0xFF00FF;

struct MarkedEditor : EditorRig {
    MarkedEditor() {
        openAndPaint();
        for (int i = 0; i < 30; ++i) idle();  // the meters fall from their start to their values
    }

    UiPoint centreOf(int32_t child) const {
        UiRect r;
        window()->getChild(child)->getBounds(r);
        return UiPoint{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    void markAll() {
        cairo_t* cr = cairo_create(this->child()->image());
        cairo_set_source_rgb(cr, 1, 0, 1);
        for (int32_t i = 0; i < window()->getChildCount(); ++i) {
            const UiPoint c = centreOf(i);
            cairo_rectangle(cr, c.h, c.v, 1, 1);
        }
        cairo_fill(cr);
        cairo_destroy(cr);
        cairo_surface_flush(this->child()->image());
    }
    // The children drawn since the marks, as their window order numbers: "" when none.
    std::string redrawn() const {
        std::string drawn;
        for (int32_t i = 0; i < window()->getChildCount(); ++i) {
            const UiPoint c = centreOf(i);
            if (rgbOf(this->child()->pixel(c.h, c.v)) != kMark)
                drawn += (drawn.empty() ? "" : " ") + std::to_string(i);
        }
        return drawn;
    }
};

// Window order: knobs 0-7 (parameters 1, 2, 3, 7, 8, 9, 10, 11), meters 8-10, read-outs 11-18.
TEST(IdleRedrawTest, PassesDrawOnlyWhatChanged) {
    MarkedEditor rig;
    const float quiet[3] = {0.0f, 0.0f, 1.0f};
    rig.plugin->setParameter(kCompThreshold, 0.4f);
    rig.idle();
    struct Step {
        const char* what;
        std::function<void()> change;
        const char* redrawn;
    } steps[] = {
        {"nothing", [] {}, ""},
        {"an update request alone", [&] { rig.editor->requestUpdate(); }, ""},
        {"the same value again", [&] { rig.plugin->setParameter(kCompThreshold, 0.4f); }, ""},
        {"a parameter without a control", [&] { rig.plugin->setParameter(kGateAttack, 0.9f); }, ""},
        {"meters at the levels they show", [&] { rig.editor->setParameters(kMeterInput, quiet, 3); }, ""},
        {"the same rate again", [&] { rig.dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f); }, ""},
        {"a new threshold", [&] { rig.plugin->setParameter(kCompThreshold, 0.6f); }, "3 14"},
        {"a new rate: every read-out", [&] { rig.dispatch(effSetSampleRate, 0, 0, nullptr, 48000.0f); },
         "11 12 13 14 15 16 17 18"},
        {"an unusable rate", [&] { rig.dispatch(effSetSampleRate, 0, 0, nullptr, 0.0f); }, ""},
        {"a new input level", [&] { rig.editor->getInputMeter()->setValue(0.5f); }, "8"},
    };
    for (const Step& step : steps) {
        rig.markAll();
        step.change();
        rig.idle();
        EXPECT_EQ(rig.redrawn(), step.redrawn) << step.what;
        rig.markAll();
        rig.idle();
        EXPECT_EQ(rig.redrawn(), "") << "the pass after " << step.what;
    }
}

}  // namespace

// A paint message (an exposure) draws the area it names, wherever it lies, and nothing else (a control
// counts as drawn when its centre is).
TEST(IdleRedrawTest, PaintDrawsItsAreaOnly) {
    MarkedEditor rig;
    const struct {
        UiRect area;
        const char* redrawn;
    } paints[] = {
        {{418, 39, 470, 92}, "3 14"},  // CompThreshold's knob and read-out, far from the origin
        {{0, 0, 100, 40}, ""},         // panel only
        {{200, 10, 600, 20}, "8 10"},  // input and reduction meters
        {{640, 80, 762, 104}, "18"},   // the corner: make-up read-out
    };
    for (const auto& p : paints) {
        rig.markAll();
        rig.child()->paint(p.area);
        EXPECT_EQ(rig.redrawn(), p.redrawn) << p.area.left << "," << p.area.top;
    }
}
