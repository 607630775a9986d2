// A build of the wizard's collection on a thread of its own. The window
// starts and stops it and hears of it only through the runner's signals,
// which carry plain values and are always emitted on the window's thread.
#pragma once

#include <QObject>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

#include "engine/build_counts.h"

namespace dirscribe {

class project_context;

// How far a build has come.
struct build_progress {
  std::string message;       // the newest progress line of the build
  int64_t folders_read = 0;  // each folder once, however often it was read
  int64_t files_listed = 0;  // over every output file written so far
};

class build_runner : public QObject {
  Q_OBJECT

 public:
  // Progress reaches the window at most this often, however fast the build:
  // four times a second is lively to see, and few enough for a screen reader
  // to announce the status line without flooding its speech.
  static constexpr std::chrono::milliseconds kProgressInterval{250};

  // `collection` is borrowed and must outlive the runner; while a build runs
  // the runner owns its progress, warning and finish callbacks and its stop
  // flag, and nothing else may change the collection.
  explicit build_runner(project_context& collection);
  // Stops a running build and waits for its thread; nothing is emitted after.
  ~build_runner() override;
  build_runner(const build_runner&) = delete;
  build_runner& operator=(const build_runner&) = delete;

  // Builds every project of the collection on a new thread. Emits
  // `progressed` while it runs (one delivery queued at a time), `warned` for
  // each warning in order, then `finished` once the thread has ended; the
  // outcome is the collection's last_result by then.
  // REQUIRES: !running(); called on the thread the runner lives on.
  void start();
  // Asks a running build to stop at its next check; it still finishes.
  void stop();
  // Stops a running build and waits for its thread to end. `finished` is
  // still emitted when the window's thread next handles its events.
  void stop_and_wait();
  // From start() until `finished` has been emitted.
  bool running() const { return running_; }

 signals:
  void progressed(const dirscribe::build_progress& progress);
  void warned(const std::string& warning);
  // The final counts (the worker has ended).
  void finished(const dirscribe::build_progress& totals);

 private:
  // On the worker.
  void run_on_worker();
  void report_progress(std::string message);
  void report_finish();
  // On the runner's thread.
  void deliver_progress();
  void deliver_finish();

  project_context& collection_;
  std::thread worker_;
  bool running_ = false;

  // Shared with the worker.
  std::mutex mutex_;
  std::string pending_message_;
  build_counts counts_;
  bool progress_queued_ = false;
  std::chrono::steady_clock::time_point last_progress_{};
};

}  // namespace dirscribe
