// The resize job: the worker that loads, scales and writes the dropped
// pictures one by one, reports its progress after every file, names the
// pictures it could not write at the end, and then asks the main loop to
// rebuild the file list.
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
// AppState::job_stop_requested is set it ends after the picture in
// progress, without showing anything more.
void resize_job(std::int64_t unused);
