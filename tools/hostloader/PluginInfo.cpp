// PluginInfo: gathering a plug-in's identity through the dispatcher and passing it over the bridge.
#include "tools/hostloader/PluginInfo.h"

#include "tools/hostloader/PluginHost.h"

namespace {
// More than any sane plug-in declares; a corrupt reply cannot make the reader allocate wildly.
constexpr uint32_t kMaxListed = 4096;
}  // namespace

PluginInfo PluginInfo::read(PluginHost& host) {
    PluginInfo info;
    AEffect* e = host.effect();
    if (!e) return info;
    info.magic = e->magic;
    info.flags = e->flags;
    info.uniqueID = e->uniqueID;
    info.version = e->version;
    info.numPrograms = e->numPrograms;
    info.numParams = e->numParams;
    info.numInputs = e->numInputs;
    info.numOutputs = e->numOutputs;
    info.initialDelay = e->initialDelay;
    info.pointerBits = static_cast<VstInt32>(sizeof(void*) * 8);
    info.effectName = host.dispatchText(effGetEffectName);
    info.vendor = host.dispatchText(effGetVendorString);
    info.product = host.dispatchText(effGetProductString);
    info.vendorVersion = static_cast<VstInt32>(host.dispatch(effGetVendorVersion));
    info.category = static_cast<VstInt32>(host.dispatch(effGetPlugCategory));
    info.vstVersion = static_cast<VstInt32>(host.dispatch(effGetVstVersion));
    info.currentProgram = host.program();
    for (VstInt32 i = 0; i < e->numParams && i < static_cast<VstInt32>(kMaxListed); ++i) {
        ParameterInfo p;
        p.name = host.parameterName(i);
        p.label = host.parameterLabel(i);
        p.display = host.parameterDisplay(i);
        p.value = host.getParameter(i);
        info.parameters.push_back(p);
    }
    for (VstInt32 i = 0; i < e->numPrograms && i < static_cast<VstInt32>(kMaxListed); ++i) {
        std::string name;
        host.programNameIndexed(i, name);
        info.programs.push_back(name);
    }
    return info;
}

void PluginInfo::write(MessageWriter& out) const {
    for (VstInt32 v : {magic, flags, uniqueID, version, numPrograms, numParams, numInputs, numOutputs, initialDelay,
                       pointerBits}) {
        out.i32(v);
    }
    out.text(effectName);
    out.text(vendor);
    out.text(product);
    out.i32(vendorVersion);
    out.i32(category);
    out.i32(vstVersion);
    out.i32(currentProgram);
    out.u32(static_cast<uint32_t>(parameters.size()));
    for (const ParameterInfo& p : parameters) {
        out.text(p.name);
        out.text(p.label);
        out.text(p.display);
        out.f32(p.value);
    }
    out.u32(static_cast<uint32_t>(programs.size()));
    for (const std::string& name : programs) out.text(name);
}

PluginInfo PluginInfo::read(MessageReader& in) {
    PluginInfo info;
    for (VstInt32* v : {&info.magic, &info.flags, &info.uniqueID, &info.version, &info.numPrograms, &info.numParams,
                        &info.numInputs, &info.numOutputs, &info.initialDelay, &info.pointerBits}) {
        *v = in.i32();
    }
    info.effectName = in.text();
    info.vendor = in.text();
    info.product = in.text();
    info.vendorVersion = in.i32();
    info.category = in.i32();
    info.vstVersion = in.i32();
    info.currentProgram = in.i32();
    uint32_t count = in.u32();
    for (uint32_t i = 0; i < count && i < kMaxListed && !in.failed(); ++i) {
        ParameterInfo p;
        p.name = in.text();
        p.label = in.text();
        p.display = in.text();
        p.value = in.f32();
        info.parameters.push_back(p);
    }
    count = in.u32();
    for (uint32_t i = 0; i < count && i < kMaxListed && !in.failed(); ++i) info.programs.push_back(in.text());
    return info;
}

VstInt32 PluginInfo::findParameter(const std::string& name) const {
    for (size_t i = 0; i < parameters.size(); ++i) {
        if (parameters[i].name == name) return static_cast<VstInt32>(i);
    }
    return -1;
}

std::string PluginInfo::uniqueIDText() const {
    std::string s;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = static_cast<char>((static_cast<uint32_t>(uniqueID) >> shift) & 0xff);
        s += (c >= 32 && c < 127) ? c : '?';
    }
    return s;
}

std::string PluginInfo::flagsText() const {
    static const struct {
        VstInt32 bit;
        const char* name;
    } names[] = {{effFlagsHasEditor, "has editor"},         {effFlagsHasClip, "has clip"},
                 {effFlagsHasVu, "has VU"},                 {effFlagsCanMono, "can mono"},
                 {effFlagsCanReplacing, "can replacing"},   {effFlagsProgramChunks, "program chunks"},
                 {effFlagsIsSynth, "is synth"},             {effFlagsNoSoundInStop, "no sound in stop"},
                 {effFlagsExtIsAsync, "async"},             {effFlagsExtHasBuffer, "has buffer"}};
    std::string s;
    for (const auto& n : names) {
        if (flags & n.bit) s += (s.empty() ? "" : ", ") + std::string(n.name);
    }
    return s.empty() ? "none" : s;
}
