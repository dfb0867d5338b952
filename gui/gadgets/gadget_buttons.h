// The state of push buttons (the check bit, which matters for toggle
// buttons), shared by the button and the image button.
#pragma once

#include <cstdint>

#include "gui/gadgets/gadget_kind.h"

std::int64_t button_get_state(GadgetObject* gadget);
void button_set_state(GadgetObject* gadget, std::int64_t value);
