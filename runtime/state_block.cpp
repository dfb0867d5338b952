// State blocks from the runtime heap. The clean-up operation is accepted for
// the interface's sake: the heap's destruction releases the block.
#include "runtime/state_block.h"

#include "runtime/heap.h"

void* state_block_create(std::size_t size, StateInitialiser initialiser, StateCleanup) {
  void* block = runtime_alloc(size ? size : 1);
  if (block && initialiser) initialiser(block);
  return block;
}

void* state_block_get(void* block) {
  return block;
}
