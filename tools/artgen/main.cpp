// vozuv-artgen: draws the plug-in's bitmap resources and writes them as BMP files.
// Usage: vozuv-artgen OUTPUT_DIR [--preview PNG_DIR]
#include <cstdio>
#include <cstring>
#include <string>

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

    using namespace layout;
    Canvas strip(kKnobWidth, kKnobFrames * kKnobHeight);
    art::drawKnobStrip(strip);
    Canvas meterLit(kMeterWidth, kMeterHeight), meterUnlit(kMeterWidth, kMeterHeight);
    Canvas greenLit(kMeterWidth, kMeterHeight), greenUnlit(kMeterWidth, kMeterHeight);
    art::drawMeter(meterLit, art::MeterColours::GreenAmberRed, true);
    art::drawMeter(meterUnlit, art::MeterColours::GreenAmberRed, false);
    art::drawMeter(greenLit, art::MeterColours::AllGreen, true);
    art::drawMeter(greenUnlit, art::MeterColours::AllGreen, false);
    Canvas bar(kReadoutWidth, kReadoutHeight);
    art::drawReadoutBar(bar);
    Canvas panel(kPanelWidth, kPanelHeight);
    art::drawPanel(panel, {strip, meterUnlit, greenUnlit, bar});
    Canvas faderPanel(135, 215), faderTrack(16, 160), faderHandle(14, 12);
    art::drawFaderPanel(faderPanel);
    art::drawFaderTrack(faderTrack);
    art::drawFaderHandle(faderHandle);

    out.write(panel, "panel", false, 3);
    out.write(strip, "knob_strip", false, 4);
    out.write(meterLit, "meter_lit", false, 8);
    out.write(meterUnlit, "meter_unlit", false, 8);
    out.write(bar, "readout_bar", false, 8);
    out.write(greenLit, "meter_green_lit", false, 8);
    out.write(greenUnlit, "meter_green_unlit", false, 8);
    out.write(faderPanel, "fader_panel", true, 3);
    out.write(faderTrack, "fader_track", true, 4);
    out.write(faderHandle, "fader_handle", true, 8);
    return out.ok ? 0 : 1;
}
