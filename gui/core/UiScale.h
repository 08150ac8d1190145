// The editor's display scales and the mapping between panel units and device pixels; header-only.
#pragma once

#include <cstdint>

#include "gui/core/UiTypes.h"

namespace uiscale {

// Percent steps the artwork is drawn at.
inline constexpr int32_t kSteps[] = {100, 150, 200};
inline constexpr int32_t kStepCount = int32_t(sizeof kSteps / sizeof kSteps[0]);
inline constexpr int32_t kUnit = 100;

// The index of a step in kSteps, -1 for a percentage that is not one.
inline constexpr int32_t stepIndex(int32_t percent) {
    for (int32_t i = 0; i < kStepCount; ++i)
        if (kSteps[i] == percent) return i;
    return -1;
}
inline constexpr bool isStep(int32_t percent) { return stepIndex(percent) >= 0; }

// The step closest to a factor (1.0 = 100 %); halfway between two steps goes up, NaN to the first step.
inline constexpr int32_t nearestStep(double factor) {
    const double percent = factor * 100.0;
    int32_t nearest = kSteps[0];
    for (int32_t i = 1; i < kStepCount; ++i)
        if (percent >= (kSteps[i - 1] + kSteps[i]) / 2.0) nearest = kSteps[i];
    return nearest;
}

inline constexpr int32_t floorDiv(int64_t a, int64_t b) {
    const int64_t q = a / b;
    return int32_t((a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q);
}

// Every edge maps by floor(unit × percent / 100), so neighbouring widgets stay edge to edge at any scale.
inline constexpr int32_t toDevice(int32_t unit, int32_t percent) { return floorDiv(int64_t(unit) * percent, kUnit); }

// The panel unit whose device span [toDevice(u), toDevice(u + 1)) holds the device pixel; toPanel(toDevice(u)) == u.
inline constexpr int32_t toPanel(int32_t device, int32_t percent) {
    return floorDiv((int64_t(device) + 1) * kUnit - 1, percent);
}

inline constexpr UiPoint toDevice(const UiPoint& p, int32_t percent) {
    return UiPoint{toDevice(p.h, percent), toDevice(p.v, percent)};
}
inline constexpr UiPoint toPanel(const UiPoint& p, int32_t percent) {
    return UiPoint{toPanel(p.h, percent), toPanel(p.v, percent)};
}
inline constexpr UiRect toDevice(const UiRect& r, int32_t percent) {
    return UiRect{toDevice(r.left, percent), toDevice(r.top, percent), toDevice(r.right, percent),
                  toDevice(r.bottom, percent)};
}
// The smallest panel rectangle covering a device rectangle (a paint area grows outward, never loses a row).
inline constexpr UiRect coveringPanel(const UiRect& r, int32_t percent) {
    return UiRect{toPanel(r.left, percent), toPanel(r.top, percent), toPanel(r.right - 1, percent) + 1,
                  toPanel(r.bottom - 1, percent) + 1};
}

// Resource id of a bitmap's artwork drawn at a scale: the 100 % id itself, else percent × 10 + id
// (1512 is the panel at 150 %).
inline constexpr int32_t scaledResourceId(int32_t id, int32_t percent) {
    return percent == kUnit ? id : percent * 10 + id;
}

}  // namespace uiscale
