// GdiCensus: the number of live GDI objects of this process, by object type.
#pragma once

#include <windows.h>

#include <map>
#include <string>

// GetGuiResources answers 0 under Wine, so the objects are counted directly: the low 16 bits of a GDI handle
// index the process's GDI handle table, and Wine's GetObjectType accepts a bare index (upper half 0) as
// naming whatever object lives in that slot. Asking GetObjectType for every index 1..0xFFFF therefore
// visits each live object exactly once. Whether that holds is not taken on trust: GdiCensusTest creates
// probe objects of each kind and checks that the census sees each one come and go.
class GdiCensus {
public:
    static GdiCensus take();

    int count(DWORD type) const;
    int total() const;
    // "brush +2, font -1": the types whose counts differ from those of before.
    std::string changesSince(const GdiCensus& before) const;
    bool operator==(const GdiCensus& other) const { return counts == other.counts; }

private:
    std::map<DWORD, int> counts;  // OBJ_PEN .. OBJ_COLORSPACE
};
