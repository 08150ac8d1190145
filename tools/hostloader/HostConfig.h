// HostConfig: what the host answers to the plug-in's requests; every answer can be changed by a test.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "framework/VstInterface.h"

// Process levels a host reports through audioMasterGetCurrentProcessLevel.
enum HostProcessLevel : VstInt32 {
    kHostLevelUnknown = 0,
    kHostLevelUser = 1,
    kHostLevelRealtime = 2,
    kHostLevelPrefetch = 3,
    kHostLevelOffline = 4,
};

struct HostConfig {
    VstIntPtr version = 2400;  // audioMasterVersion; 0 is a host that does not speak the interface
    float sampleRate = 44100.0f;
    VstInt32 blockSize = 512;
    bool canSizeWindow = true;                // audioMasterCanDo "sizeWindow"
    std::vector<std::string> capabilities{};  // further CanDo texts answered 1
    VstInt32 processLevel = -1;               // -1: user level outside processing, realtime or offline inside
    bool offline = false;                     // inside processing the level is offline instead of realtime
    VstInt32 automationState = 1;             // audioMasterGetAutomationState: off
    VstInt32 language = 1;                    // English
    std::string vendor = "BroVane";
    std::string product = "Vozuv host";
    VstInt32 vendorVersion = 1000;
    // Answer to audioMasterSizeWindow (width, height) when the host offers "sizeWindow".
    std::function<bool(int, int)> sizeWindow{};
    // Extra work on audioMasterIdle (a host's own idle: pump messages).
    std::function<void()> idle{};
    // Extra work once any request is answered and recorded (a host that closes the editor on automation).
    std::function<void(VstInt32 opcode)> afterRequest{};
};
