// BridgeMessage: appending and reading the little-endian values of a bridge message.
#include "tools/bridgewire/BridgeMessage.h"

void MessageWriter::raw(const void* data, size_t size) {
    const uint8_t* bytes = static_cast<const uint8_t*>(data);
    buffer.insert(buffer.end(), bytes, bytes + size);
}

bool MessageReader::take(void* out, size_t n) {
    if (bad || n > size - offset) {
        bad = true;
        return false;
    }
    std::memcpy(out, data + offset, n);
    offset += n;
    return true;
}

std::string MessageReader::text() {
    uint32_t n = u32();
    if (bad || n > size - offset) {
        bad = true;
        return {};
    }
    std::string s(reinterpret_cast<const char*>(data + offset), n);
    offset += n;
    return s;
}

bool MessageReader::floats(float* out, size_t count) { return take(out, count * sizeof(float)); }
