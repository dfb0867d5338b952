// State blocks: one zeroed block per kind for state that is not per object.
// One block serves all threads; it lives until the runtime heap goes.
#pragma once

#include <cstddef>

using StateInitialiser = void (*)(void* block);
using StateCleanup = void (*)(void* block);

void* state_block_create(std::size_t size, StateInitialiser initialiser, StateCleanup cleanup);
void* state_block_get(void* block);
