// The main window: the settings gadgets under the file list, the jhead check
// at opening, and the event loop that keeps the settings in step with the
// gadgets, starts the resize job when pictures are dropped on the list, and
// deletes or previews pictures of the list.
#pragma once

#include <string>
#include <vector>

// Opens the main window and runs its loop until the window is closed;
// returns at once when the window cannot be opened. Closing the window
// while a job runs hides it, asks the job to stop after the picture in
// progress and waits a while for that (main_window_job_running tells
// whether it did).
void main_window_run();

// Paths that are handled as a drop on the file list as soon as the loop
// starts (pictures given on the command line), and names that could not be
// taken, which are reported then; called before main_window_run. The list
// first appears when that job has ended.
void main_window_drop_at_start(const std::vector<std::string>& paths,
                               std::vector<std::string> refused);

// After main_window_run: true while the last job still runs.
bool main_window_job_running();
