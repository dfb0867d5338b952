// What the resize job needs of the main window, and the rules by which the
// job's thread and the main thread share the toolkit.
//
// THE JOB'S THREAD calls these four and nothing else of the toolkit; its
// workers, which do the pictures several at once, call none of them (they
// hand what they finish to the job's thread). The window that binds this
// interface (app/main_window.cpp) answers them from the job's thread:
//   check_box_state  -> gadget_get_state of 1006, 1007 or 1008
//   set_progress     -> gadget_set_state of GADGET_PROGRESS (1003)
//   set_status_text  -> gadget_set_text of GADGET_STATUS_TEXT (11)
//   show_message     -> requester_message(title, text, 0), which returns
//                       when the user has dismissed it
// The gadget calls find their gadget in a registry that takes no lock and
// reach the control through a synchronous platform message that the main
// thread runs inside event_wait (gui/gadgets/gadgets.h); the requester
// disables the main window while its box is up (gui/core/requester.h). So
// the main thread never blocks on the job: it waits for the job's end by
// waiting for events.
//
// THE MAIN THREAD, while a job runs (from the drop until its loop takes
// AppState::list_rebuild_pending, which the job sets after its last call):
// - creates and frees no gadget. The job's gadgets (busy text, progress bar,
//   status text) exist before the job starts and go only after that flag;
//   the main window tells the toolkit (gadget_set_worker_running), and debug
//   builds stop at a gadget made or freed in between.
// - has freed the file list at the drop, before the job started, so that
//   nothing of the list (a delete, a preview, a second drop) reaches the
//   loop during the job.
// - leaves the job's images alone: worker k loads, scales and writes its
//   pictures in image IMAGE_JOB_FIRST + k and frees it at the end of the
//   job; the preview works in IMAGE_WORK (image 0), and is opened only from
//   the file list, which a job has removed.
// - shares only the atomics of AppState and ResizeSettings with the job,
//   which takes the settings once, as it starts.
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
