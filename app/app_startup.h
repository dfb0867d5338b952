// The program's start-up and shutdown around its main window.
//
// The entry runs:
//   app_start();                       // then, when it returned true:
//   main_window_run();
//   app_shutdown(state of GADGET_WEB_NAMES, state of GADGET_KEEP_EXIF,
//                whether a job still runs);
//   and ends the process with exit code 0.
// A program with windows joins the toolkit's kinds to the runtime before
// app_start; app_start joins every other kind the application uses.
#pragma once

// Clears the application's state and brings the runtime up in its fixed
// order; decodes the info icon into IMAGE_INFO_ICON; fixes the output
// directory and makes the program's directory the current one, so that
// "ResizedImages" and "jhead.exe" lie beside the program; reads the settings
// from the preference file beside the program. False when the runtime cannot
// be started, or (after a requester that says so) when the ANSI code page
// cannot hold the program's path.
bool app_start();

// Writes the settings with the two check boxes' states (0 for both when the
// main window was never opened) and tears the runtime down. Does not wait
// for a running job: with `job_running`, the process ends right after the
// settings are written, without tearing the runtime down under the job;
// whatever the job has not finished stays as it was.
void app_shutdown(int web_names_state, int keep_exif_state, bool job_running = false);
