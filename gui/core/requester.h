// Message requesters: modal platform message boxes that are modal for all
// of the calling thread's windows and never hidden behind its topmost ones.
//
// Any thread may show one; the call returns when the user has answered.
// From the main thread the box runs a modal loop there, and what the
// toolkit's windows raise meanwhile is queued (gui/core/events.h). From a
// thread without windows of its own (the application's resize job), the
// process's visible toolkit windows count as that thread's: they are
// disabled and leave the topmost band while the box is up, the box is
// topmost, and the main thread goes on waiting for events. The list of
// windows changed has a lock of its own; no window is touched under it.
#pragma once

#include <cstdint>

// Flags and answers are the platform message box's own.
constexpr std::uint32_t REQUESTER_OK = 0;
constexpr std::uint32_t REQUESTER_YES_NO = 4;
constexpr std::int64_t REQUESTER_ANSWER_OK = 1;
constexpr std::int64_t REQUESTER_ANSWER_CANCEL = 2;
constexpr std::int64_t REQUESTER_ANSWER_YES = 6;
constexpr std::int64_t REQUESTER_ANSWER_NO = 7;

// Shows the box and returns the button the user chose (0 when the platform
// refused the box).
std::int64_t requester_message(const char* title, const char* text, std::uint32_t flags = 0);
