// LilvTestHost: the LV2 bundle loaded through lilv as a host loads it, one instance at a time.
#pragma once

#include <lilv/lilv.h>

#include <string>

class LilvTestHost {
public:
    // Loads the bundle folder; plugin() is null when it holds no plug-in of that URI.
    LilvTestHost(const std::string& bundleDir, const std::string& uri);
    ~LilvTestHost();
    LilvTestHost(const LilvTestHost&) = delete;
    LilvTestHost& operator=(const LilvTestHost&) = delete;

    const LilvPlugin* plugin() const { return found; }
    LilvWorld* world() const { return lilvWorld; }
    // A new instance (the last one is freed), null when the plug-in refuses.
    LilvInstance* instantiate(double rate);
    LilvInstance* instance() const { return current; }
    // The port of this symbol, or -1.
    int portIndex(const char* symbol) const;

private:
    LilvWorld* lilvWorld;
    const LilvPlugin* found = nullptr;
    LilvInstance* current = nullptr;
};
