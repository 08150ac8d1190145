// TurtleWriter: the bundle's description (manifest and plug-in file), read off a fresh effect and PortMap.
#pragma once

#include <cstdint>
#include <string>

struct TurtleNames {
    std::string pluginUri;
    std::string uiUri;
    std::string dspBinary;  // file names inside the bundle
    std::string uiBinary;
    std::string pluginFile;
};

class TurtleWriter {
public:
    explicit TurtleWriter(TurtleNames names) : names(std::move(names)) {}

    std::string manifest() const;
    // The plug-in, its ports and its UI. Names come from the effect's parameter names, defaults from a
    // fresh effect, ranges from the values 0 and the highest the effect stores, all through PortMap.
    std::string plugin() const;

    // The shortest decimal text that reads back as exactly this float.
    static std::string number(float value);

private:
    TurtleNames names;
};
