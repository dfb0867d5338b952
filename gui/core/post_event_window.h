// The hidden window through which other threads hand events to the thread
// that waits (event_post_from_thread in gui/core/events.h).
#pragma once

void post_event_window_create();
void post_event_window_destroy();
