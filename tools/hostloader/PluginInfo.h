// PluginInfo: what a host reads of a plug-in instance: record, identity, parameters and programs.
#pragma once

#include <string>
#include <vector>

#include "framework/VstInterface.h"
#include "tools/bridgewire/BridgeMessage.h"

class PluginHost;

struct ParameterInfo {
    std::string name;
    std::string label;
    std::string display;
    float value = 0.0f;
};

struct PluginInfo {
    VstInt32 magic = 0;
    VstInt32 flags = 0;
    VstInt32 uniqueID = 0;
    VstInt32 version = 0;
    VstInt32 numPrograms = 0;
    VstInt32 numParams = 0;
    VstInt32 numInputs = 0;
    VstInt32 numOutputs = 0;
    VstInt32 initialDelay = 0;
    VstInt32 pointerBits = 0;
    std::string effectName;
    std::string vendor;
    std::string product;
    VstInt32 vendorVersion = 0;
    VstInt32 category = 0;
    VstInt32 vstVersion = 0;
    VstInt32 currentProgram = 0;
    std::vector<ParameterInfo> parameters;
    std::vector<std::string> programs;  // effGetProgramNameIndexed, or "" where refused

    static PluginInfo read(PluginHost& host);
    void write(MessageWriter& out) const;
    static PluginInfo read(MessageReader& in);

    VstInt32 findParameter(const std::string& name) const;
    // uniqueID as its four characters.
    std::string uniqueIDText() const;
    // "has editor, has VU, can mono, can replacing" style list of the flags set.
    std::string flagsText() const;
};
