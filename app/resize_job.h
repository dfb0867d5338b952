// The resize job: loads, scales and writes the dropped pictures, several
// at once (one worker a processor, fewer when memory is short:
// job_worker_count), and reports on its own thread what the user sees:
// the progress as pictures finish, a requester for a picture that cannot
// be loaded once every picture dropped before it has been reported, and at
// the end the pictures it could not write, in drop order. Two pictures that
// write the same file are done one after the other, so the later one's
// stays. Then it asks the main loop to rebuild the file list.
#pragma once

#include <cstdint>

#include "app/job_window.h"

// The window the job reports to; bound by the main window before it starts
// the first job (without one, the check boxes read as clear and nothing is shown).
void resize_job_bind_window(JobWindow* window);

// The thread procedure that the drop handler starts with thread_create after
// it has set AppState::dropped_files; the parameter is not used. It takes
// the settings and the three check boxes once, as it starts (changes made
// while it runs are for the next job), and sets
// AppState::list_rebuild_pending as its last step. When
// AppState::job_stop_requested is set every worker ends after its picture
// in progress (a running jhead is ended), and nothing more is shown.
void resize_job(std::int64_t unused);
