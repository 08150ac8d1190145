// GdiCensus: one GetObjectType per GDI table slot.
#include "tests/wine/editor/GdiCensus.h"

#include <set>

namespace {

const char* typeName(DWORD type) {
    switch (type) {
        case OBJ_PEN: return "pen";
        case OBJ_BRUSH: return "brush";
        case OBJ_DC: return "dc";
        case OBJ_METADC: return "metadc";
        case OBJ_PAL: return "palette";
        case OBJ_FONT: return "font";
        case OBJ_BITMAP: return "bitmap";
        case OBJ_REGION: return "region";
        case OBJ_METAFILE: return "metafile";
        case OBJ_MEMDC: return "memdc";
        case OBJ_EXTPEN: return "extpen";
        case OBJ_ENHMETADC: return "enhmetadc";
        case OBJ_ENHMETAFILE: return "enhmetafile";
        case OBJ_COLORSPACE: return "colorspace";
        default: return "other";
    }
}

}  // namespace

GdiCensus GdiCensus::take() {
    GdiCensus census;
    GdiFlush();
    for (UINT_PTR slot = 1; slot <= 0xFFFF; ++slot) {
        const DWORD type = GetObjectType(reinterpret_cast<HGDIOBJ>(slot));
        if (type) ++census.counts[type];
    }
    SetLastError(0);
    return census;
}

int GdiCensus::count(DWORD type) const {
    const auto found = counts.find(type);
    return found == counts.end() ? 0 : found->second;
}

int GdiCensus::total() const {
    int sum = 0;
    for (const auto& entry : counts) sum += entry.second;
    return sum;
}

std::string GdiCensus::changesSince(const GdiCensus& before) const {
    std::set<DWORD> types;
    for (const auto& entry : counts) types.insert(entry.first);
    for (const auto& entry : before.counts) types.insert(entry.first);
    std::string text;
    for (DWORD type : types) {
        const int change = count(type) - before.count(type);
        if (change == 0) continue;
        if (!text.empty()) text += ", ";
        text += std::string(typeName(type)) + (change > 0 ? " +" : " ") + std::to_string(change);
    }
    return text.empty() ? "no change" : text;
}
