// Toolkit events: the codes that event_wait returns, the event types, and
// the calls that read and queue them.
//
// DELIVERY. event_wait returns one event per call. While events are queued
// it returns the oldest and takes no platform message at all. Otherwise it
// takes one platform message and dispatches it; the first event that the
// window procedure raises during that dispatch is the answer (a "direct"
// event), and when it raises none the answer is the message's own number
// (a code that is none of the ones below, type -1). Every later event of the
// same dispatch is queued behind what waits already, never overwriting the
// first. Modal loops re-enter the window procedure. One that runs inside a
// dispatch (a list view tracking a click, OLE's drag loop, a menu) is part
// of that dispatch: its first event may be the answer, the rest queue. One
// that runs outside any event_wait (a requester's message box, shown by the
// program between two waits) has no call to answer: everything raised in it
// is queued and comes out of the following calls in order. A handler that
// runs inside a dispatch must not call event_wait: the nested call would end
// the outer event (its data released, its answer reset). Identical events queued back to back (code
// below EVENT_COLLAPSE_LIMIT, no data of their own) arrive as one; any other
// event between them breaks the run.
//
// DATA AND DROP RECORDS. An event's data and a drop event's record
// (gui/core/drop_record.h) belong to the event state from the moment they
// are raised or queued until the start of the next event_wait, which frees
// them (so does the queue when it drops or removes the event). Read them
// before waiting again (event_drop_files); the program frees neither.
//
// THE MOUSE POSITION. Since queued events come out before another platform
// message is taken, GetMessagePos() still describes the last message taken
// (normally the input that raised the event, such as the right click on an
// explorer list) when a queued event is returned. The application's
// right-click delete relies on it; keep event_wait from taking a platform
// message while events are queued.
//
// THREADS. Only the toolkit's main thread (gui/core/toolkit_thread.h) waits
// for, raises, queues and reads events; the queue and the state take no lock
// (debug builds check event_post). Another thread hands an event over with
// event_post_from_thread.
#pragma once

#include <cstdint>

#include "runtime/registry.h"

// Event codes.
constexpr std::int64_t EVENT_MOVE_WINDOW = 3;
constexpr std::int64_t EVENT_SIZE_WINDOW = 5;
constexpr std::int64_t EVENT_REPAINT = 15;
constexpr std::int64_t EVENT_CLOSE_WINDOW = 16;
constexpr std::int64_t EVENT_GADGET = 13100;
constexpr std::int64_t EVENT_MENU = 13101;
constexpr std::int64_t EVENT_SYSTRAY = 13102;
constexpr std::int64_t EVENT_ACTIVATE_WINDOW = 13104;
constexpr std::int64_t EVENT_WINDOW_DROP = 13105;
constexpr std::int64_t EVENT_GADGET_DROP = 13106;
constexpr std::int64_t EVENT_MINIMIZE_WINDOW = 13107;
constexpr std::int64_t EVENT_MAXIMIZE_WINDOW = 13108;
constexpr std::int64_t EVENT_RESTORE_WINDOW = 13109;
constexpr std::int64_t EVENT_TIMER = 13110;
constexpr std::int64_t EVENT_RIGHT_CLICK = 13111;
constexpr std::int64_t EVENT_LEFT_CLICK = 13112;
constexpr std::int64_t EVENT_LEFT_DOUBLE_CLICK = 13113;
constexpr std::int64_t EVENT_DEACTIVATE_WINDOW = 13114;

// Event types (event_type). -1: the event has no type. An EVENT_GADGET made
// from a control's command notification without a handler of its own has
// the notification code as its type (768 when an edit field's text changed).
constexpr std::int64_t EVENT_TYPE_NONE = -1;
constexpr std::int64_t EVENT_TYPE_LEFT_CLICK = 0;
constexpr std::int64_t EVENT_TYPE_RIGHT_CLICK = 1;
constexpr std::int64_t EVENT_TYPE_LEFT_DOUBLE_CLICK = 2;
constexpr std::int64_t EVENT_TYPE_RIGHT_DOUBLE_CLICK = 3;
constexpr std::int64_t EVENT_TYPE_FOCUS = 14000;
constexpr std::int64_t EVENT_TYPE_LOST_FOCUS = 14001;
constexpr std::int64_t EVENT_TYPE_DRAG_START = 14002;

// The answer of a message handler that did not consume the message: the
// platform's default processing follows.
constexpr std::int64_t NOT_HANDLED = static_cast<std::int64_t>(0xFFFFFFFFD0D0D0D1ull);

// Private messages of the toolkit.
constexpr unsigned TRAY_CALLBACK_MESSAGE = 12501;
constexpr unsigned WINDOW_DROP_MESSAGE = 13105;
constexpr unsigned GADGET_DROP_MESSAGE = 13106;
constexpr unsigned GADGET_PRIVATE_MESSAGE = 13120;

// Commands of the two accelerators every window carries (Tab, Shift+Tab).
constexpr int CMD_FOCUS_NEXT = 64001;
constexpr int CMD_FOCUS_PREVIOUS = 64002;

// Codes below this collapse when queued back to back (a burst of identical
// events becomes one).
constexpr std::int32_t EVENT_COLLAPSE_LIMIT = 0x10001;

// Releases the data of a queued event; called at the start of the next
// event_wait.
using EventDataRelease = void (*)(void* data);

// -1 waits without limit, 0 polls, anything else waits at most that long.
// 0 when nothing arrived in time.
std::int64_t event_wait(std::int64_t timeout_ms = -1);
// The gadget (or window, timer, command) and the type of the last event.
std::int64_t event_gadget();
std::int64_t event_type();

// Appends to the event queue; only the thread that waits may call it. An
// event that is dropped (queue suspended, no node) has its data released
// at once; one with a release routine is never folded into a run.
void event_post(std::int32_t code, std::int64_t gadget, std::int64_t window, std::int64_t type,
                void* data = nullptr, EventDataRelease data_release = nullptr);
// Hands an event to the waiting thread from any thread, through the
// toolkit's hidden post-event window. False when it could not be posted.
bool event_post_from_thread(std::int32_t code, std::int64_t gadget, std::int64_t window,
                            std::int64_t type, void* data = nullptr);

// While suspended, posts are dropped.
void event_queue_suspend();
void event_queue_resume();
// Removes queued events that match; -1 in an argument matches every value.
void event_queue_remove(std::int64_t code, std::int64_t gadget, std::int64_t window,
                        std::int64_t type);
// Removes every queued event of one window.
void event_queue_remove_window(std::int64_t window);
