// PeImage: reads the COFF header, the optional header's export directory and the export name table.
#include "tools/peheader/PeImage.h"

#include <cstring>
#include <fstream>

namespace {

struct Bytes {
    const std::vector<uint8_t>& data;
    bool ok = true;

    uint32_t u32(size_t at) {
        if (at + 4 > data.size()) return fail();
        return static_cast<uint32_t>(data[at]) | static_cast<uint32_t>(data[at + 1]) << 8 |
               static_cast<uint32_t>(data[at + 2]) << 16 | static_cast<uint32_t>(data[at + 3]) << 24;
    }
    uint16_t u16(size_t at) {
        if (at + 2 > data.size()) return static_cast<uint16_t>(fail());
        return static_cast<uint16_t>(data[at] | data[at + 1] << 8);
    }
    uint32_t fail() {
        ok = false;
        return 0;
    }
};

}  // namespace

bool PeImage::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        lastError = "cannot read " + path;
        return false;
    }
    // One read of the whole file: a stream iterator goes byte by byte, some 30 ms for a DLL.
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    in.seekg(0, std::ios::beg);
    std::vector<uint8_t> file(size > 0 ? static_cast<size_t>(size) : 0);
    if (size < 0 || !in.read(reinterpret_cast<char*>(file.data()), static_cast<std::streamsize>(file.size()))) {
        lastError = "cannot read " + path;
        return false;
    }
    return parse(file);
}

bool PeImage::parse(const std::vector<uint8_t>& file) {
    *this = PeImage{};
    Bytes b{file};
    if (file.size() < 2 || file[0] != 'M' || file[1] != 'Z') {
        lastError = "not a Windows executable (no MZ header)";
        return false;
    }
    const size_t pe = file.size() >= 0x40 ? b.u32(0x3c) : file.size();
    if (!b.ok || pe + 24 > file.size() || std::memcmp(&file[pe], "PE\0\0", 4) != 0) {
        lastError = "not a PE image";
        return false;
    }
    machine = b.u16(pe + 4);
    const uint16_t sectionCount = b.u16(pe + 6);
    const uint16_t optionalSize = b.u16(pe + 20);
    isDll = (b.u16(pe + 22) & 0x2000) != 0;
    const size_t optional = pe + 24;
    const uint16_t magic = b.u16(optional);
    size_t directories;
    if (magic == 0x10b) {
        directories = optional + 96;
    } else if (magic == 0x20b) {
        directories = optional + 112;
    } else {
        lastError = "unknown optional header";
        return false;
    }
    const uint32_t directoryCount = b.u32(directories - 4);
    const uint32_t exportRva = directoryCount > 0 ? b.u32(directories) : 0;
    const size_t sections = optional + optionalSize;
    if (!b.ok) {
        lastError = "truncated PE header";
        return false;
    }
    auto fileOffset = [&](uint32_t rva, size_t& offset) {
        for (uint16_t i = 0; i < sectionCount; ++i) {
            const size_t s = sections + 40u * i;
            const uint32_t virtualSize = b.u32(s + 8);
            const uint32_t virtualAddress = b.u32(s + 12);
            const uint32_t rawSize = b.u32(s + 16);
            const uint32_t rawPointer = b.u32(s + 20);
            const uint32_t span = virtualSize > rawSize ? virtualSize : rawSize;
            if (b.ok && rva >= virtualAddress && rva < virtualAddress + span) {
                offset = rawPointer + (rva - virtualAddress);
                return offset < file.size();
            }
        }
        return false;
    };
    if (exportRva == 0) return true;  // no export table at all
    size_t dir = 0;
    if (!fileOffset(exportRva, dir)) {
        lastError = "export directory outside the sections";
        return false;
    }
    exportedFunctions = b.u32(dir + 20);
    const uint32_t nameCount = b.u32(dir + 24);
    size_t names = 0;
    if (nameCount > 0 && !fileOffset(b.u32(dir + 32), names)) {
        lastError = "export name table outside the sections";
        return false;
    }
    for (uint32_t i = 0; i < nameCount && b.ok; ++i) {
        size_t at = 0;
        if (!fileOffset(b.u32(names + 4u * i), at)) {
            lastError = "export name outside the sections";
            return false;
        }
        std::string name;
        while (at < file.size() && file[at] != 0) name += static_cast<char>(file[at++]);
        exports.push_back(name);
    }
    if (!b.ok) {
        lastError = "truncated export table";
        return false;
    }
    return true;
}

std::string PeImage::flavour() const {
    if (machine == kMachineI386) return "win32";
    if (machine == kMachineAmd64) return "win64";
    return "";
}
