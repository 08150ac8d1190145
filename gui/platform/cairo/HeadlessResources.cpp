// Resource lookup for headless pixmaps.
#include "gui/platform/cairo/HeadlessResources.h"

#include "resources/EmbeddedBitmaps.h"

#include <map>

namespace {
std::map<int32_t, HeadlessResources::Bytes>& added() {
    static std::map<int32_t, HeadlessResources::Bytes> resources;
    return resources;
}
}  // namespace

HeadlessResources::Bytes HeadlessResources::find(int32_t id) {
    const auto it = added().find(id);
    if (it != added().end()) return it->second;
    if (const EmbeddedBitmap* embedded = findEmbeddedBitmap(id)) return Bytes{embedded->data, embedded->size};
    return Bytes{};
}

void HeadlessResources::add(int32_t id, const unsigned char* data, size_t size) { added()[id] = Bytes{data, size}; }

void HeadlessResources::remove(int32_t id) { added().erase(id); }
