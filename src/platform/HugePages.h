#pragma once

#include <cstddef>

// Asks the kernel to back a block of many megabytes (a file's text, a data column) with huge
// pages, so that filling it costs a few hundred page faults instead of hundreds of thousands.
// Only the whole pages inside the block are advised; smaller blocks and systems without
// transparent huge pages are left alone. Call it before the block is first written.
void adviseHugePages(void* block, size_t bytes);
