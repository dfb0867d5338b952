// Threads with small numbers: started threads get numbers from 1 upwards,
// never reused; the list drops ended threads as new ones start. The list
// is guarded by the thread lock, so any thread may use these.
#pragma once

#include <cstdint>

using ThreadProcedure = void (*)(std::int64_t parameter);

void threads_start();  // start-up: creates the thread lock
void threads_end();    // shutdown: closes every handle, empties the list
void threads_join_runtime();

// The new thread's number, or 0 when no thread was started.
std::int64_t thread_create(ThreadProcedure procedure, std::int64_t parameter);
int thread_is_running(std::int64_t number);
// The platform handle while the thread runs, otherwise null.
void* thread_handle(std::int64_t number);

// Pauses the calling thread with the platform timer at 1 ms resolution.
void delay(std::int32_t milliseconds);
