// Focus navigation by Tab and Shift+Tab over the controls of the active
// window: where the search starts and which control is next.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

using FocusHandle = std::uintptr_t;

// One window on the way from the focused window up to (not including) the
// active window.
struct FocusAncestor {
  FocusHandle handle;
  std::string_view class_name;
  std::uint32_t style;
};

struct FocusSearchStart {
  FocusHandle root;     // whose descendants are the candidates
  FocusHandle current;  // the control that counts as focused, 0 for none
};

// `chain` runs from the focused window upwards; empty when the focus is not
// inside the active window. An MDI child on the way becomes the root (and
// when it is itself focused, nothing counts as focused); a composite control
// (an extended combo box with style bit 0, an address field) counts as the
// focused control, so that it is one stop.
FocusSearchStart focus_search_start(std::span<const FocusAncestor> chain, FocusHandle active);

// A descendant of the root in the platform's enumeration order; `candidate`
// when it is enabled, visible and a tab stop.
struct FocusStop {
  FocusHandle handle;
  bool candidate;
};

// The control that gets the focus, 0 when there is no candidate. Forward:
// the first candidate after the current one, wrapping to the first.
// Backward: the candidate before it; the last one when the current one is
// the first candidate or not among the stops.
FocusHandle focus_next(std::span<const FocusStop> stops, FocusHandle current, bool forward);
