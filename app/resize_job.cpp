// The resize job's loop over the dropped files.
#include "app/resize_job.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/job_messages.h"
#include "app/resize_file.h"
#include "runtime/dates.h"
#include "runtime/files.h"
#include "image/image.h"
#include "runtime/strings.h"
#include "runtime/threads.h"

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

// The dropped files, and what became of each.
struct Entry {
  std::string path;
  PictureKind kind;
  std::int64_t after;  // the latest earlier entry that writes one of the same files, or -1
};

// What the workers and the job's thread share, under `lock`. Workers take
// entries in drop order; the job's thread reports what they finish: the
// progress as pictures are done, the requesters in drop order.
struct PictureRun {
  std::vector<Entry> entries;
  std::vector<std::optional<PictureResult>> results;  // by entry; set when finished
  std::size_t next = 0;                               // the next entry to take
  std::size_t finished = 0;
  int working = 0;  // workers that have not ended
  std::mutex lock;
  std::condition_variable changed;
};

// The files an entry writes: its copy, and in replace mode its source.
// Two entries that write the same file (a name in two folders, a file
// dropped twice) are done one after the other, in drop order, so that the
// later one's picture is the one that stays. Names are compared as the file
// system compares them, without letter case.
std::vector<Entry> entries_of(const std::string& list, std::int64_t count,
                              const PictureChoices& choices) {
  std::vector<Entry> entries;
  std::map<std::string, std::int64_t> last_writer;
  for (std::int64_t i = 1; i <= count; ++i) {
    std::string path = string_field(list, static_cast<std::int32_t>(i), "\n");
    const PictureKind kind = picture_kind_of(path);
    std::int64_t after = -1;
    if (kind != PictureKind::NotAPicture) {
      std::vector<std::string> written = {string_lower(copy_file_name(path, choices.web_names))};
      if (choices.replace_original) written.push_back(string_lower(path));
      const std::int64_t index = static_cast<std::int64_t>(entries.size());
      for (const std::string& file : written) {
        auto [place, fresh] = last_writer.try_emplace(file, index);
        if (!fresh) after = std::max(after, std::exchange(place->second, index));
      }
    }
    entries.push_back({std::move(path), kind, after});
  }
  return entries;
}

bool stop_requested() {
  return app_state().job_stop_requested != 0;
}

// One worker: takes the next entry until none is left or the window was
// closed, on an image object of its own.
void work(PictureRun& run, const PictureChoices& choices, const std::string& output_directory,
          object_number image) {
  std::unique_lock<std::mutex> lock(run.lock);
  while (run.next < run.entries.size() && !stop_requested()) {
    const std::size_t taken = run.next++;
    const Entry& entry = run.entries[taken];
    // The earlier writer of the same file is under way with another worker.
    // (A stop ends that wait too: the earlier entry may never be done then.)
    run.changed.wait(lock, [&] {
      return entry.after < 0 || run.results[entry.after] || stop_requested();
    });
    if (stop_requested()) break;
    lock.unlock();
    PictureResult result{PictureOutcome::Skipped, {}};
    try {
      if (entry.kind != PictureKind::NotAPicture)
        result = resize_picture(image, entry.path, entry.kind, choices, output_directory);
    } catch (const std::bad_alloc&) {  // a worker thread must not end the program
      result = {PictureOutcome::WriteFailed, ansi_from_utf8("nicht genug Arbeitsspeicher")};
    }
    lock.lock();
    run.results[taken] = std::move(result);
    ++run.finished;
    run.changed.notify_all();
  }
  --run.working;
  run.changed.notify_all();
}

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

  PictureRun run;
  run.entries = entries_of(list, count, choices);
  run.results.resize(run.entries.size());
  const int workers = job_worker_count(processor_count(), memory_available(), count);
  run.working = workers;
  std::vector<std::thread> threads;
  for (int k = 0; k < workers; ++k) {
    try {
      threads.emplace_back(work, std::ref(run), std::cref(choices), std::cref(output_directory),
                           IMAGE_JOB_FIRST + k);
    } catch (const std::system_error&) {  // no thread to be had: the others do the pictures
      const std::lock_guard<std::mutex> guard(run.lock);
      run.working -= workers - k;
      break;
    }
  }
  if (threads.empty()) {  // not even one: this thread does them
    run.working = 1;
    work(run, choices, output_directory, IMAGE_JOB_FIRST);
  }

  // Progress as pictures finish; a picture that cannot be loaded is shown
  // once every picture dropped before it has been reported, so that the
  // requesters come one at a time and in drop order. A closed window asks
  // the workers to stop after their pictures in progress; nothing is shown then.
  std::vector<PathFailure> failures;
  bool box_unusable = false;
  std::size_t reported = 0, shown_done = 0;
  std::unique_lock<std::mutex> lock(run.lock);
  for (;;) {
    run.changed.wait(lock, [&] {
      return run.finished != shown_done ||
             (reported < run.results.size() && run.results[reported]) || run.working == 0;
    });
    if (run.finished != shown_done) {
      shown_done = run.finished;
      lock.unlock();
      report_progress(window, static_cast<std::int64_t>(shown_done), count, start);
      lock.lock();
      continue;
    }
    if (reported < run.results.size() && run.results[reported]) {
      const Entry& entry = run.entries[reported];
      PictureResult result = *run.results[reported++];
      if (result.outcome == PictureOutcome::WriteFailed ||
          result.outcome == PictureOutcome::BoxUnusable) {
        box_unusable = box_unusable || result.outcome == PictureOutcome::BoxUnusable;
        failures.push_back({entry.path, std::move(result.reason)});
      } else if (result.outcome == PictureOutcome::LoadFailed && !stop_requested()) {
        lock.unlock();
        const JobMessage message = load_failed_message({entry.path, std::move(result.reason)});
        window.show_message(message.title, message.text);
        lock.lock();
      }
      continue;
    }
    if (run.working == 0) break;
  }
  lock.unlock();
  for (std::thread& thread : threads) thread.join();
  for (int k = 0; k < workers; ++k) image_free(IMAGE_JOB_FIRST + k);

  if (!failures.empty() && !stop_requested()) {
    const JobMessage message = write_failures_message(failures, box_unusable);
    window.show_message(message.title, message.text);
  }
  state.list_rebuild_pending = 1;
}
