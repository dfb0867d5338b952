// The resize job's loop over the dropped files.
#include "app/resize_job.h"

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/job_messages.h"
#include "app/resize_file.h"
#include "runtime/dates.h"
#include "runtime/files.h"
#include "runtime/strings.h"

namespace {

// Stands in while no window is bound: check boxes read as clear, nothing is shown.
class NoWindow final : public JobWindow {
 public:
  int check_box_state(object_number) override { return 0; }
  void set_progress(std::int64_t) override {}
  void set_status_text(const std::string&) override {}
  void show_message(const std::string&, const std::string&) override {}
};

NoWindow no_window;
std::atomic<JobWindow*> bound_window{nullptr};

// Taken once, when the job starts: what the user types or slides while it
// runs (every keystroke of "1600" passes through "1") is for the next job.
PictureChoices choices_at_start(JobWindow& window) {
  const ResizeSettings& settings = resize_settings();
  return PictureChoices{
      window.check_box_state(GADGET_REPLACE_ORIGINALS) != 0,
      window.check_box_state(GADGET_WEB_NAMES) == 1,
      window.check_box_state(GADGET_KEEP_EXIF) == 1,
      {settings.target_width, settings.target_height},
      settings.mode,
      static_cast<int>(std::clamp<std::int64_t>(settings.jpeg_quality, 0, 10)),
  };
}

struct WriteFailures {
  std::vector<PathFailure> pictures;  // in drop order
  bool box_unusable = false;
};

void report_progress(JobWindow& window, std::int64_t done, std::int64_t count, Date start) {
  const JobProgress progress = job_progress(done, count, date_now() - start);
  window.set_progress(progress.percent);
  window.set_status_text(progress.status_text);
}

}  // namespace

void resize_job_bind_window(JobWindow* window) {
  bound_window = window;
}

void resize_job(std::int64_t) {
  JobWindow* bound = bound_window;
  JobWindow& window = bound ? *bound : no_window;
  AppState& state = app_state();

  const std::string list = state.dropped_files;
  const std::string output_directory = state.output_directory;
  directory_create(output_directory);  // it may exist already
  const Date start = date_now();
  web_name_prepare();
  const std::int64_t count = std::int64_t{string_count(list, "\n")} + 1;

  const PictureChoices choices = choices_at_start(window);
  WriteFailures failures;
  // A closed window asks the job to stop between pictures; nothing is shown then.
  auto stopping = [&state] { return state.job_stop_requested != 0; };
  for (std::int64_t i = 1; i <= count && !stopping(); ++i) {
    const std::string path = string_field(list, static_cast<std::int32_t>(i), "\n");
    const PictureKind kind = picture_kind_of(path);
    if (kind != PictureKind::NotAPicture) {
      PictureResult result = resize_picture(path, kind, choices, output_directory);
      switch (result.outcome) {
        case PictureOutcome::LoadFailed:
          if (!stopping()) {
            const JobMessage message = load_failed_message({path, std::move(result.reason)});
            window.show_message(message.title, message.text);
          }
          break;
        case PictureOutcome::BoxUnusable:
          failures.box_unusable = true;
          failures.pictures.push_back({path, {}});
          break;
        case PictureOutcome::WriteFailed:
          failures.pictures.push_back({path, std::move(result.reason)});
          break;
        case PictureOutcome::Scaled:
        case PictureOutcome::Copied:
          break;
      }
    }
    report_progress(window, i, count, start);
  }

  if (!failures.pictures.empty() && !stopping()) {
    const JobMessage message = write_failures_message(failures.pictures, failures.box_unusable);
    window.show_message(message.title, message.text);
  }
  state.list_rebuild_pending = 1;
}
