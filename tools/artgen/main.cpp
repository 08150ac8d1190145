// vozuv-artgen: draws the plug-in's bitmap resources and writes them as BMP files.
// Usage: vozuv-artgen OUTPUT_DIR [--preview PNG_DIR]
#include <cstdio>
#include <cstring>
#include <string>

#include "gui/core/UiScale.h"
#include "tools/artgen/ArtStyle.h"
#include "tools/artgen/BmpFile.h"
#include "tools/artgen/Canvas.h"
#include "tools/artgen/FaderArt.h"
#include "tools/artgen/KnobArt.h"
#include "tools/artgen/MeterArt.h"
#include "tools/artgen/PanelArt.h"
#include "editor/PanelLayout.h"

namespace {

struct Output {
    std::string dir;
    std::string previewDir;
    bool ok = true;

    // File names as resources/VozuvAzirOVA.rc lists them.
    void write(const Canvas& canvas, const char* name, bool palette, int previewZoom) {
        const std::string base = dir + "/" + name;
        if (!(palette ? BmpFile::write8(canvas, base + ".bmp") : BmpFile::write24(canvas, base + ".bmp"))) {
            std::fprintf(stderr, "vozuv-artgen: cannot write %s.bmp\n", base.c_str());
            ok = false;
        }
        if (previewDir.empty()) return;
        const std::string preview = previewDir + "/" + name;
        ok = canvas.writePng(preview + ".png") && ok;
        if (previewZoom > 1) ok = canvas.writePng(preview + "_x" + std::to_string(previewZoom) + ".png", previewZoom) && ok;
    }
};

}  // namespace

int main(int argc, char** argv) {
    Output out;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
            out.previewDir = argv[++i];
        } else if (out.dir.empty() && argv[i][0] != '-') {
            out.dir = argv[i];
        } else {
            out.dir.clear();
            break;
        }
    }
    if (out.dir.empty()) {
        std::fprintf(stderr, "usage: vozuv-artgen OUTPUT_DIR [--preview PNG_DIR]\n");
        return 2;
    }

    // The editor's pictures at every scale, each drawn at its own size; the fader pictures at 100 % only
    // (the editor has no fader).
    using namespace layout;
    for (int percent : uiscale::kSteps) {
        const art::Scale scale{percent};
        const std::string suffix = percent == 100 ? "" : "_" + std::to_string(percent);
        const int zoom = percent == 100 ? 1 : 0;  // previews of the 100 % set are also written enlarged
        Canvas strip(scale.span(kKnobLefts[0], kKnobWidth), kKnobFrames * art::knobFrameHeight(scale));
        art::drawKnobStrip(strip, scale);
        const int meterWidth = scale.span(kInputMeterLeft, kMeterWidth), meterHeight = scale.span(kMeterTop, kMeterHeight);
        Canvas meterLit(meterWidth, meterHeight), meterUnlit(meterWidth, meterHeight);
        Canvas greenLit(meterWidth, meterHeight), greenUnlit(meterWidth, meterHeight);
        art::drawMeter(meterLit, art::MeterColours::GreenAmberRed, true);
        art::drawMeter(meterUnlit, art::MeterColours::GreenAmberRed, false);
        art::drawMeter(greenLit, art::MeterColours::AllGreen, true);
        art::drawMeter(greenUnlit, art::MeterColours::AllGreen, false);
        Canvas bar(scale.span(kReadoutLefts[0], kReadoutWidth), scale.span(kReadoutTop, kReadoutHeight));
        art::drawReadoutBar(bar, percent);
        Canvas panel(scale.px(kPanelWidth), scale.px(kPanelHeight));
        art::drawPanel(panel, {strip, meterUnlit, greenUnlit, bar}, scale);

        out.write(panel, ("panel" + suffix).c_str(), false, 3 * zoom);
        out.write(strip, ("knob_strip" + suffix).c_str(), false, 4 * zoom);
        out.write(meterLit, ("meter_lit" + suffix).c_str(), false, 8 * zoom);
        out.write(meterUnlit, ("meter_unlit" + suffix).c_str(), false, 8 * zoom);
        out.write(bar, ("readout_bar" + suffix).c_str(), false, 8 * zoom);
        out.write(greenLit, ("meter_green_lit" + suffix).c_str(), false, 8 * zoom);
        out.write(greenUnlit, ("meter_green_unlit" + suffix).c_str(), false, 8 * zoom);
    }
    Canvas faderPanel(135, 215), faderTrack(16, 160), faderHandle(14, 12);
    art::drawFaderPanel(faderPanel);
    art::drawFaderTrack(faderTrack);
    art::drawFaderHandle(faderHandle);
    out.write(faderPanel, "fader_panel", true, 3);
    out.write(faderTrack, "fader_track", true, 4);
    out.write(faderHandle, "fader_handle", true, 8);
    return out.ok ? 0 : 1;
}
