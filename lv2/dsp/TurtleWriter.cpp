// TurtleWriter: builds the Turtle text from the same tables the DSP library maps its ports with.
#include "lv2/dsp/TurtleWriter.h"

#include <cstdio>
#include <cstdlib>

#include "effect/CompGateEffect.h"
#include "lv2/PortMap.h"

namespace {

const char* const kPrefixes =
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf: <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

struct FixedPort {
    const char* symbol;
    const char* name;
};

// Ports that are no parameter, from the first meter on, in port order.
const FixedPort kFixedPorts[PortMap::kNumPorts - PortMap::kFirstMeter] = {
    {"MeterInput", "Input level"},   {"MeterOutput", "Output level"}, {"MeterGain", "Gain factor"},
    {"InputLeft", "Input left"},     {"InputRight", "Input right"},   {"OutputLeft", "Output left"},
    {"OutputRight", "Output right"},
};

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string unitTerm(PortUnit unit) {
    switch (unit) {
        case PortUnit::Decibels:
            return "units:db";
        case PortUnit::Milliseconds:
            return "units:ms";
        case PortUnit::Ratio:
            // The ratio reads as the editor shows it; LV2 has no unit of its own for it.
            return "[\n            a units:Unit ;\n            rdfs:label \"ratio\" ;\n"
                   "            units:symbol \":1\" ;\n            units:render \"%.1f:1\"\n        ]";
        default:
            return "";
    }
}

std::string controlPort(uint32_t index, CompGateEffect& fresh, CompGateEffect& probe) {
    const VstInt32 parameter = static_cast<VstInt32>(index);
    char name[64] = {};
    fresh.getParameterName(parameter, name);
    // The highest value the effect keeps: a set of 1 stores its clamp where it has one.
    probe.setParameter(parameter, 1.0f);
    const float highest = probe.getParameter(parameter);
    // Each number reads back as the very float the DSP compares a port with: a host that sends the
    // default sets nothing. Every mapping rises with the parameter.
    const float start = PortMap::toPortValue(index, fresh.getParameter(parameter));

    std::string port = "        a lv2:InputPort, lv2:ControlPort ;\n";
    port += "        lv2:index " + std::to_string(index) + " ;\n";
    port += "        lv2:symbol " + quoted(name) + " ;\n";
    port += "        lv2:name " + quoted(name) + " ;\n";
    port += "        lv2:default " + TurtleWriter::number(start) + " ;\n";
    port += "        lv2:minimum " + TurtleWriter::number(PortMap::toPortValue(index, 0.0f)) + " ;\n";
    port += "        lv2:maximum " + TurtleWriter::number(PortMap::toPortValue(index, highest));
    const std::string unit = unitTerm(PortMap::unit(index));
    if (!unit.empty()) port += " ;\n        units:unit " + unit;
    if (!PortMap::isAudible(index)) {
        // Kept as ports so state and projects match the VST 2 edition; nothing to show.
        port += " ;\n        lv2:portProperty pprops:notOnGUI";
    } else if (index == kLpShelf || index == kHpShelf) {
        // The corner is a fraction of the rate the host runs at: the port carries the knob's travel,
        // whose end switches the section off.
        const char* off = index == kLpShelf ? "1.0" : "0.0";
        port += " ;\n        rdfs:comment \"Detector filter corner as the knob's travel; the " +
                std::string(index == kLpShelf ? "top" : "bottom") +
                " end switches the section off.\" ;\n        lv2:scalePoint [\n            rdfs:label \"off\" ;\n"
                "            rdf:value " + off + "\n        ]";
    }
    return port;
}

std::string fixedPort(uint32_t index) {
    const FixedPort& fixed = kFixedPorts[index - PortMap::kFirstMeter];
    std::string port;
    if (PortMap::isMeter(index)) {
        port = "        a lv2:OutputPort, lv2:ControlPort ;\n";
    } else if (index < PortMap::kAudioOut) {
        port = "        a lv2:InputPort, lv2:AudioPort ;\n";
    } else {
        port = "        a lv2:OutputPort, lv2:AudioPort ;\n";
    }
    port += "        lv2:index " + std::to_string(index) + " ;\n";
    port += "        lv2:symbol " + quoted(fixed.symbol) + " ;\n";
    port += "        lv2:name " + quoted(fixed.name);
    // Linear levels as the editor's meters take them; 1 is full scale, and no reduction for the gain.
    if (PortMap::isMeter(index)) port += " ;\n        lv2:minimum 0.0 ;\n        lv2:maximum 1.0 ;\n        lv2:default 0.0";
    return port;
}

}  // namespace

std::string TurtleWriter::number(float value) {
    // The fewest decimals that read back as the float; nine significant digits are exact for any float.
    char text[64];
    bool exact = false;
    for (int decimals = 1; decimals <= 12 && !exact; ++decimals) {
        std::snprintf(text, sizeof text, "%.*f", decimals, static_cast<double>(value));
        exact = std::strtof(text, nullptr) == value;
    }
    if (!exact) std::snprintf(text, sizeof text, "%.9g", static_cast<double>(value));
    std::string result = text;
    // A Turtle number without a point or exponent is an integer; the ports take decimals.
    if (result.find_first_of(".en") == std::string::npos) result += ".0";
    return result;
}

std::string TurtleWriter::manifest() const {
    std::string text = kPrefixes;
    text += "<" + names.pluginUri + ">\n    a lv2:Plugin ;\n    lv2:binary <" + names.dspBinary +
            "> ;\n    rdfs:seeAlso <" + names.pluginFile + "> .\n\n";
    text += "<" + names.uiUri + ">\n    a ui:X11UI ;\n    ui:binary <" + names.uiBinary + "> ;\n    rdfs:seeAlso <" +
            names.pluginFile + "> .\n";
    return text;
}

std::string TurtleWriter::plugin() const {
    CompGateEffect fresh(nullptr);
    CompGateEffect probe(nullptr);
    std::string text = kPrefixes;
    text.insert(text.find("@prefix rdfs:"), "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n");
    char vendor[64] = {};
    fresh.getVendorString(vendor);
    text += "<" + names.pluginUri + ">\n";
    text += "    a lv2:Plugin, lv2:CompressorPlugin, doap:Project ;\n";
    text += "    doap:name \"VozuvAzirOVA\" ;\n";
    text += "    lv2:name \"VozuvAzirOVA\" ;\n";
    text += "    doap:maintainer [\n        foaf:name " + quoted(vendor) + "\n    ] ;\n";
    text += "    lv2:optionalFeature lv2:hardRTCapable ;\n";
    text += "    ui:ui <" + names.uiUri + "> ;\n";
    text += "    lv2:port [\n";
    for (uint32_t i = 0; i < PortMap::kNumPorts; ++i) {
        if (i > 0) text += "    ] , [\n";
        text += PortMap::isParameter(i) ? controlPort(i, fresh, probe) : fixedPort(i);
        text += "\n";
    }
    text += "    ] .\n\n";

    // The editor as an X11 UI: it talks to the DSP through ports alone, the meters included.
    text += "<" + names.uiUri + ">\n";
    text += "    a ui:X11UI ;\n";
    text += "    lv2:requiredFeature ui:parent ;\n";
    text += "    lv2:optionalFeature ui:resize, ui:touch, ui:idleInterface, urid:map ;\n";
    text += "    lv2:extensionData ui:idleInterface ;\n";
    text += "    ui:portNotification [\n";
    for (uint32_t i = PortMap::kFirstMeter; i < PortMap::kAudioIn; ++i) {
        if (i > PortMap::kFirstMeter) text += "    ] , [\n";
        text += "        ui:plugin <" + names.pluginUri + "> ;\n";
        text += "        lv2:symbol " + quoted(kFixedPorts[i - PortMap::kFirstMeter].symbol) + " ;\n";
        text += "        ui:protocol ui:floatProtocol\n";
    }
    text += "    ] .\n";
    return text;
}
