// What tests may see of a pool's chunks, for tests only.
#pragma once

#include <vector>

#include "runtime/block_pool.h"

// The capacity of each chunk on the pool's full and partial lists, head first.
std::vector<int> pool_full_chunk_capacities(const BlockPool* pool);
std::vector<int> pool_partial_chunk_capacities(const BlockPool* pool);
