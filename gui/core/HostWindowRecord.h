// The 256-byte record with which a standalone plug-in window asks the host for a top-level window.
#pragma once

#include <cstddef>
#include <cstdint>

struct HostWindowRecord {
    char title[128];  // NUL-terminated
    int16_t x;
    int16_t y;
    int16_t width;
    int16_t height;
    int32_t style;
    void* parent;        // filled by the host
    void* userHandle;    // 0
    void* windowHandle;  // 0
    char reserved[104];
};

#if UINTPTR_MAX == 0xFFFFFFFFu
static_assert(sizeof(HostWindowRecord) == 256, "HostWindowRecord is 256 bytes");
static_assert(offsetof(HostWindowRecord, x) == 128, "HostWindowRecord layout");
static_assert(offsetof(HostWindowRecord, y) == 130, "HostWindowRecord layout");
static_assert(offsetof(HostWindowRecord, width) == 132, "HostWindowRecord layout");
static_assert(offsetof(HostWindowRecord, height) == 134, "HostWindowRecord layout");
static_assert(offsetof(HostWindowRecord, style) == 136, "HostWindowRecord layout");
static_assert(offsetof(HostWindowRecord, parent) == 140, "HostWindowRecord layout");
static_assert(offsetof(HostWindowRecord, userHandle) == 144, "HostWindowRecord layout");
static_assert(offsetof(HostWindowRecord, windowHandle) == 148, "HostWindowRecord layout");
static_assert(offsetof(HostWindowRecord, reserved) == 152, "HostWindowRecord layout");
#endif
