// BridgeMessage: the byte layout of the bridge between vozuv-render and vozuv-winhost: little-endian
// values appended to and read from a buffer. The framing around it is in BridgeProtocol.h.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

class MessageWriter {
public:
    void u32(uint32_t v) { raw(&v, sizeof v); }
    void i32(int32_t v) { raw(&v, sizeof v); }
    void i64(int64_t v) { raw(&v, sizeof v); }
    void f32(float v) { raw(&v, sizeof v); }
    void text(const std::string& s) {
        u32(static_cast<uint32_t>(s.size()));
        raw(s.data(), s.size());
    }
    void floats(const float* data, size_t count) { raw(data, count * sizeof(float)); }
    void raw(const void* data, size_t size);

    const std::vector<uint8_t>& bytes() const { return buffer; }
    std::vector<uint8_t>& bytes() { return buffer; }

private:
    std::vector<uint8_t> buffer;
};

// Reads what a MessageWriter wrote; a read past the end sets failed() and yields zeros.
class MessageReader {
public:
    MessageReader(const uint8_t* data, size_t size) : data(data), size(size) {}
    explicit MessageReader(const std::vector<uint8_t>& bytes) : data(bytes.data()), size(bytes.size()) {}

    uint32_t u32() { return pod<uint32_t>(); }
    int32_t i32() { return pod<int32_t>(); }
    int64_t i64() { return pod<int64_t>(); }
    float f32() { return pod<float>(); }
    std::string text();
    bool floats(float* out, size_t count);
    bool failed() const { return bad; }
    size_t remaining() const { return size - offset; }

private:
    template <typename T>
    T pod() {
        T v{};
        if (!take(&v, sizeof v)) return T{};
        return v;
    }
    bool take(void* out, size_t n);

    const uint8_t* data;
    size_t size;
    size_t offset = 0;
    bool bad = false;
};
