// The toolkit's COM and common-controls step of the start-up sequence.
#pragma once

// Joins the step: the common control classes, then COM for the starting
// thread.
void common_controls_join_runtime();
// Registers the common control classes the toolkit asks for (tab, hot-key,
// date, extended combo box, internet address).
void common_controls_initialise();
