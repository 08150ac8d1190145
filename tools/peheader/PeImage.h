// PeImage: the few facts a host reads from a Windows DLL file before loading it: the machine it was
// built for and the names in its export table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PeImage {
    static constexpr uint16_t kMachineI386 = 0x014c;
    static constexpr uint16_t kMachineAmd64 = 0x8664;

    uint16_t machine = 0;
    bool isDll = false;
    uint32_t exportedFunctions = 0;    // entries of the export address table, named or not
    std::vector<std::string> exports;  // exported names

    // False with error() filled when the file is not a readable PE image.
    bool load(const std::string& path);
    bool parse(const std::vector<uint8_t>& file);
    const std::string& error() const { return lastError; }

    // "win32" or "win64" for the machines a host of this project loads, else "".
    std::string flavour() const;

private:
    std::string lastError;
};
