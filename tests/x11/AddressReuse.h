// AddressReuse: while on, a block the program frees is handed to the next allocation of its size, so an
// object the host closes and a new one it opens at once share an address, as they may by chance.
#pragma once

#include <cstddef>

namespace addressreuse {
// Blocks allocated while tracking carry their size; only they are kept for reuse.
void track(bool on);
// While on, tracked blocks that are freed are kept and given out again, last first, for their size;
// off frees the ones nobody took.
void reuse(bool on);
}  // namespace addressreuse

// Tracking for a test's life.
struct TrackedAllocations {
    TrackedAllocations() { addressreuse::track(true); }
    ~TrackedAllocations() { addressreuse::track(false); }
};

// Reuse for a scope: a host's close and open of the editor.
struct ReusedAddresses {
    ReusedAddresses() { addressreuse::reuse(true); }
    ~ReusedAddresses() { addressreuse::reuse(false); }
};
