// The two capability vocabularies of the plug-in interface, in their published order.
#pragma once

#include <cstddef>

// Capabilities a plug-in may ask of a host (audioMasterCanDo).
constexpr size_t kHostCapabilityCount = 17;
extern const char* const hostCapabilities[kHostCapabilityCount];

// Capabilities a host may ask of a plug-in (effCanDo).
constexpr size_t kPluginCapabilityCount = 26;
extern const char* const pluginCapabilities[kPluginCapabilityCount];
