#pragma once
// How the process's memory allocator treats what is freed.

namespace nc16::platform {

// Keeps freed memory of ordinary sizes for the next allocation instead of handing it back to the
// system at once. The batch exports one data set after another, each allocating and freeing the
// same few megabytes: given back and taken again, every page of them is faulted in and zeroed
// anew, which cost it more time than the exports' own work in the kernel. The peak is unchanged;
// blocks of several megabytes and a large free tail still go back. Call once, first thing.
void KeepFreedMemoryForReuse();

}  // namespace nc16::platform
