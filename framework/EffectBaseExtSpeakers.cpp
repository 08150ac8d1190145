// EffectBaseExt: speaker arrangement records allocated, copied and released by the plug-in.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "framework/EffectBaseExt.h"

namespace {

constexpr size_t kArrangementHeader = offsetof(VstSpeakerArrangement, speakers);

}  // namespace

bool EffectBaseExt::allocateArrangement(VstSpeakerArrangement** slot, VstInt32 channels) {
    if (!slot) return false;
    releaseArrangement(slot);
    // A count whose size does not fit in memory would wrap the byte count on 32-bit.
    if (channels < 0 ||
        static_cast<size_t>(channels) > (SIZE_MAX - kArrangementHeader) / sizeof(VstSpeakerProperties))
        return false;
    const size_t size = kArrangementHeader + sizeof(VstSpeakerProperties) * static_cast<size_t>(channels);
    // calloc, so that the released record goes back through free whatever its size.
    auto* arrangement = static_cast<VstSpeakerArrangement*>(std::calloc(1, size));
    if (!arrangement) return false;
    arrangement->numChannels = channels;
    *slot = arrangement;
    return true;
}

bool EffectBaseExt::releaseArrangement(VstSpeakerArrangement** slot) {
    if (!slot) return true;
    std::free(*slot);
    *slot = nullptr;
    return true;
}

bool EffectBaseExt::copySpeakerProperties(VstSpeakerProperties* to, VstSpeakerProperties* from) {
    if (!to || !from) return false;
    // The name is copied as text: a source name without a terminator is cut to fit.
    std::strncpy(to->name, from->name, sizeof(to->name) - 1);
    to->name[sizeof(to->name) - 1] = 0;
    to->type = from->type;
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    std::memcpy(to->future, from->future, sizeof(to->future));
    return true;
}

bool EffectBaseExt::matchArrangement(VstSpeakerArrangement** slot, VstSpeakerArrangement* from) {
    if (!from || !slot) return false;
    // allocateArrangement releases what the slot held.
    if (!allocateArrangement(slot, from->numChannels)) return false;
    (*slot)->type = from->type;
    for (VstInt32 i = 0; i < from->numChannels; ++i) {
        if (!copySpeakerProperties(&(*slot)->speakers[i], &from->speakers[i])) return false;
    }
    return true;
}
