// A host stand-in for the framework tests: records every callback request and answers from a script.
#pragma once

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "framework/VstInterface.h"
#include "tools/hostloader/HostRequest.h"

// The callback is a plain function pointer, so the recording lives in one process-wide instance.
class RecordingHost {
  public:
    static RecordingHost& instance() {
        static RecordingHost host;
        return host;
    }

    void reset() {
        requests.clear();
        answer = [](const HostRequest&) -> VstIntPtr { return 0; };
    }

    static VstIntPtr VSTCALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                          void* ptr, float opt) {
        RecordingHost& host = instance();
        const HostRequest request = HostRequest::of(effect, opcode, index, value, ptr, opt);
        const size_t at = host.requests.size();
        host.requests.push_back(request);
        const VstIntPtr answer = host.answer(request);
        if (at < host.requests.size()) host.requests[at].answer = answer;  // an answer may clear the list
        return answer;
    }

    std::vector<HostRequest> requests;
    std::function<VstIntPtr(const HostRequest&)> answer = [](const HostRequest&) -> VstIntPtr { return 0; };
};
