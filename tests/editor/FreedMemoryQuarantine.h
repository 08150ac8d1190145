// Test support: an allocator that keeps freed memory filled with a pattern, so that a write into an
// editor, window or control the host has closed shows up in the plain build, not only under the sanitizer.
#pragma once

#include <cstddef>

namespace quarantine {

// While on, every block freed in the process (the test program's and any library's it loaded, the
// plug-in's own runtime included) is filled with a pattern and kept instead of freed; a read of a
// pointer from it faults. Off in the sanitizer builds, whose own allocator does this job.
void start();
// Ends the quarantine and frees what it kept; answers how many kept blocks were written to after they
// were freed.
int end();
// Whether this build can keep freed blocks at all.
bool available();

// Live blocks of the given size allocated with operator new (a closed window's lifeline shows there).
long liveBlocksOfSize(std::size_t size);

}  // namespace quarantine
