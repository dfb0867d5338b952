// The change monitor of the explorer lists: one background thread that
// waits on a change notification per watched directory and, when one fires,
// posts the toolkit's private message to the list's parent window, which
// hands it to the list to refresh itself.
//
// Requests reach the thread through a request event and are answered by a
// done event. A thread that does not answer within 5000 ms is stopped, and
// the lists no longer refresh by themselves for the rest of the run.
#pragma once

#include <windows.h>

// Starts the thread once per process; false when the monitor is off.
bool explorer_monitor_start();
bool explorer_monitor_running();

// Watches `directory` (alone, without subdirectories) for the list; an
// empty directory stops watching it.
void explorer_monitor_watch(HWND list, const char* directory);
void explorer_monitor_forget(HWND list);

// Test hook: the monitor thread's handle, null when it is off.
HANDLE explorer_monitor_thread();
