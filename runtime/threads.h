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
// While the thread runs, a new platform handle to it that the caller owns
// and closes (it stays valid whatever the list does); otherwise null.
void* thread_handle(std::int64_t number);
// Waits until the thread has ended, at most `milliseconds` (negative: no
// limit). 1 when it has ended or the number names no running thread, 0
// when the time ran out.
int thread_wait(std::int64_t number, std::int32_t milliseconds);

// Pauses the calling thread with the platform timer at 1 ms resolution.
void delay(std::int32_t milliseconds);

// The machine's processors that this process may run on, at least 1.
int processor_count();
// The physical memory that is free now, in bytes.
std::uint64_t memory_available();
