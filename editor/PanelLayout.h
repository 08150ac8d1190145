// Where the editor's controls sit on the front panel, and the sizes of the pictures they draw: read by the
// editor, the artwork generator and the tests, so the panel and its controls cannot drift apart.
#pragma once

namespace layout {

constexpr int kPanelWidth = 762;
constexpr int kPanelHeight = 104;

// Knob film strip: 65 frames of 42 x 37; the panel shows frame 22 under every knob.
constexpr int kKnobWidth = 42;
constexpr int kKnobHeight = 37;
constexpr int kKnobFrames = 65;
constexpr int kPaintedKnobFrame = 22;
constexpr int kKnobTop = 39;
// Centre of the knob inside a frame, and its pointer angles (radians, counter-clockwise from the right).
constexpr double kKnobCentreX = 21.0;
constexpr double kKnobCentreY = 19.0;
constexpr double kKnobStartAngle = 3.14159265358979 * 1.25;
constexpr double kKnobSweep = -3.14159265358979 * 1.5;

// Left edges of the knobs of parameters 1 to 11: gain, two filters, three gate knobs (artwork only, the
// editor has no controls for them), five compressor knobs.
constexpr int kKnobLefts[] = {99, 157, 207, 265, 315, 365, 423, 473, 523, 573, 623};
constexpr int kFirstKnobParameter = 1;
// The parameters with a knob and a read-out on the panel, in the editor window's child order.
constexpr int kControlledParameters[] = {1, 2, 3, 7, 8, 9, 10, 11};
constexpr int kKnobLeft(int parameter) { return kKnobLefts[parameter - kFirstKnobParameter]; }
// Left edges of the value bars in the same order; each sits 5 pixels left of its knob.
constexpr int kReadoutLefts[] = {94, 152, 202, 260, 310, 360, 418, 468, 518, 568, 618};
constexpr int kReadoutTop = 83;
constexpr int kReadoutWidth = 51;
constexpr int kReadoutHeight = 9;
constexpr int kReadoutLeft(int parameter) { return kReadoutLefts[parameter - kFirstKnobParameter]; }

constexpr int kMeterWidth = 96;
constexpr int kMeterHeight = 6;
constexpr int kMeterSegments = 12;
constexpr int kMeterTop = 12;
constexpr int kInputMeterLeft = 154;
constexpr int kReductionMeterLeft = 421;
constexpr int kOutputMeterLeft = 570;

// Sections: dividers fall midway between the value bars of neighbouring sections.
constexpr double kSectionLeft = 89.5;
constexpr double kSectionRight = 672.5;
constexpr double kSectionTop = 24.5;
constexpr double kSectionBottom = 97.5;
constexpr double kDividers[] = {148.5, 256.5, 414.5};

}  // namespace layout
