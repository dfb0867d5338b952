// What the resize job needs of the main window. The job runs on a thread of
// its own; the window that binds this interface answers these calls from
// that thread (the gadget operations and the requester reach the main
// thread's controls through synchronous platform messages):
//   check_box_state  -> gadget_get_state of 1006, 1007 or 1008
//   set_progress     -> gadget_set_state of GADGET_PROGRESS (1003)
//   set_status_text  -> gadget_set_text of GADGET_STATUS_TEXT (11)
//   show_message     -> requester_message(title, text, 0), which returns
//                       when the user has dismissed it
#pragma once

#include <cstdint>
#include <string>

#include "runtime/registry.h"

class JobWindow {
 public:
  virtual int check_box_state(object_number gadget) = 0;
  virtual void set_progress(std::int64_t percent) = 0;
  virtual void set_status_text(const std::string& text) = 0;
  virtual void show_message(const std::string& title, const std::string& text) = 0;

 protected:
  ~JobWindow() = default;
};
