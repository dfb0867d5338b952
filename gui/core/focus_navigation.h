// Tab and Shift+Tab: moves the focus within the active window.
#pragma once

// Forward for Tab, backward for Shift+Tab.
void focus_navigate(bool forward);
