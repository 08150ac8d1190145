// Test support: the C library's allocator wrapped for the whole process, so that what happens to a closed
// editor's memory shows in the plain build, not only under the sanitizer: freed blocks kept filled with a
// pattern (a later write shows), or handed to the next allocation of their size (a new window at the old
// one's address). Off in the sanitizer builds, whose own allocator does this job.
#pragma once

#include <cstddef>

namespace quarantine {

// While on, every block freed in the process (the test program's and any library's it loaded, the
// plug-in's own runtime included) is filled with a pattern and kept instead of freed; a read of a
// pointer from it faults.
void start();
// Ends the quarantine and frees what it kept; answers how many kept blocks were written to after they
// were freed.
int end();
// Whether this build can keep freed blocks at all.
bool available();

// Live blocks of the given size allocated with operator new (a closed window's lifeline shows there).
long liveBlocksOfSize(std::size_t size);

}  // namespace quarantine

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
