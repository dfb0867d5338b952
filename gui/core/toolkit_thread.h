// The toolkit's main thread: the thread that starts the toolkit (the
// runtime's start-up, where the event queue begins) owns every window,
// gadget and the event queue, and is the only one that waits for events.
// Other threads reach it only through synchronous platform messages, which
// it runs while it waits for events, through the post-event window
// (event_post_from_thread), or with a requester of their own.
//
// Debug builds check the rules that bind the main thread with
// toolkit_on_main_thread (in an assert); release builds never ask.
#pragma once

// The event queue's start and end: the calling thread becomes, or stops
// being, the main thread.
void toolkit_thread_claim();
void toolkit_thread_release();

// True on the main thread, and on any thread while the toolkit is down.
bool toolkit_on_main_thread();
