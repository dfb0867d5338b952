// The toolkit's COM and common-controls step of the start-up sequence.
#pragma once

// Joins the step: the common control classes (tab, hot-key, date, extended
// combo box, internet address), then COM for the starting thread.
void common_controls_join_runtime();
