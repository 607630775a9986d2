#include "ui/build_runner.h"

#include <exception>
#include <new>

#include "engine/project_context.h"
#include "listing/listing_driver.h"
#include "services/phrase_ids.h"
#include "services/phrase_table.h"

namespace dirscribe {

namespace {

// The one call into the listing driver.
outcome build_collection(project_context& collection) { return run_collection(collection); }

}  // namespace

build_runner::build_runner(project_context& collection) : collection_(collection) {}

build_runner::~build_runner() {
  if (worker_.joinable()) {
    collection_.stop_flag = 1;
    worker_.join();
  }
  // The collection outlives the runner: nothing may call into it later.
  collection_.progress = nullptr;
  collection_.warning = nullptr;
  collection_.finish = nullptr;
}

void build_runner::start() {
  running_ = true;
  collection_.stop_flag = 0;
  {
    std::lock_guard lock(mutex_);
    counts_.reset();
    pending_message_.clear();
    progress_queued_ = false;
    last_progress_ = {};
  }
  collection_.progress = [this](std::string message) { report_progress(std::move(message)); };
  // Posted like the end of the build, and so delivered before it.
  collection_.warning = [this](const std::string& warning) {
    QMetaObject::invokeMethod(
        this, [this, warning] { emit warned(warning); }, Qt::QueuedConnection);
  };
  collection_.finish = [this] { report_finish(); };
  worker_ = std::thread([this] { run_on_worker(); });
}

void build_runner::stop() { collection_.stop_flag = 1; }

void build_runner::stop_and_wait() {
  if (!worker_.joinable()) return;
  collection_.stop_flag = 1;
  worker_.join();
}

void build_runner::run_on_worker() {
  // An exception leaving the thread would end the program with the user's
  // work unsaved; the build fails with a message instead, and the window
  // hears of its end as of any other.
  outcome failed;
  try {
    (void)build_collection(collection_);
    return;
  } catch (const std::bad_alloc&) {
    failed = {result_out_of_memory,
              collection_.language != nullptr
                  ? std::string(collection_.language->text(kPhraseOutOfMemory))
                  : std::string()};
  } catch (const std::exception& error) {
    failed = {1, std::string("Unexpected failure: ") + error.what()};
  }
  collection_.last_result = failed;
  report_finish();
}

void build_runner::report_progress(std::string message) {
  // Keep the newest text, and hand it over at most every kProgressInterval
  // so that a fast build never floods the window's queue.
  std::lock_guard lock(mutex_);
  pending_message_ = std::move(message);
  counts_.folder_read(pending_message_);
  counts_.count_files(collection_);
  const auto now = std::chrono::steady_clock::now();
  if (progress_queued_ || now - last_progress_ < kProgressInterval) return;
  progress_queued_ = true;
  last_progress_ = now;
  QMetaObject::invokeMethod(
      this, [this] { deliver_progress(); }, Qt::QueuedConnection);
}

void build_runner::report_finish() {
  QMetaObject::invokeMethod(
      this, [this] { deliver_finish(); }, Qt::QueuedConnection);
}

void build_runner::deliver_progress() {
  build_progress progress;
  {
    std::lock_guard lock(mutex_);
    progress = {pending_message_, counts_.folders(), counts_.files()};
    progress_queued_ = false;
  }
  if (running_) emit progressed(progress);
}

void build_runner::deliver_finish() {
  if (worker_.joinable()) worker_.join();
  running_ = false;
  // The worker has ended: the counts are final.
  counts_.count_files(collection_);
  emit finished({std::string(), counts_.folders(), counts_.files()});
}

}  // namespace dirscribe
