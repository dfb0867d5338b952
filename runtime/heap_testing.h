// Test hook of the heaps, for tests only.
#pragma once

// Makes the calling thread's next `count` allocations (alloc or realloc, any
// heap) fail as an exhausted heap would; other threads are not affected.
void heap_fail_next_allocations(int count);
