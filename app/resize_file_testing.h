// Hooks for the tests of the resize job's path for one picture.
#pragma once

#include <chrono>

// How long the job waits for jhead, instead of JHEAD_TIME_LIMIT; zero puts
// the limit back.
void jhead_time_limit_for_testing(std::chrono::milliseconds limit);
