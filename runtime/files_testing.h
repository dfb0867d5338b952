// Test hook of the file operations: whether long paths count as allowed.
#pragma once

// 1 or 0 overrides what the platform says; -1 goes back to it.
void long_paths_allowed_for_testing(int allowed);
