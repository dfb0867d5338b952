// The change monitor of the explorer lists: one background thread that
// waits on a change notification per watched directory and, when one fires,
// posts the toolkit's private message to the list's parent window, which
// hands it to the list to refresh itself.
//
// THE HAND-OFF. Requests come from the main thread (a list's refresh and
// its release), one at a time under the monitor lock: the requester stores
// (list, notification), sets the request event and waits up to 5000 ms for
// the done event. The notification handle changes owner by an atomic
// exchange: whoever exchanges it for null owns it and closes it, the thread
// when it takes the request (it closes it when the list's watch is replaced
// or dropped, or when it ends), the requester when the thread did not answer
// in time. A thread that does not answer within 5000 ms is given up for the
// rest of the process: it is never killed (it could hold a lock) and ends
// by itself should it wake, later requests close their notification at
// once, and the lists no longer refresh by themselves. The main thread is
// so held up at most once, for 5 s.
//
// THE THREAD TOUCHES NO LIST. For a change it posts GADGET_PRIVATE_MESSAGE
// (13120) with the list's handle to the list's parent, whose window
// procedure hands it to the list on the main thread; the list refreshes a
// little later, once per burst of changes. A list's release ends its watch
// before its state goes, and a message that arrives for a control that is
// no longer a gadget finds no handler.
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
