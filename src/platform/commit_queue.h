// Puts finished files in place on a thread of its own, in the order they were
// handed over, so a walk that writes one page per folder goes on to the next
// folder while the file system renames the last page into place and removes
// the one it replaced.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/replacing_file.h"

namespace dirscribe {

// A file that could not be put in place: the name the caller gave it and the
// errno of the failure.
struct commit_failure {
  std::string label;
  int error = 0;
};

class commit_queue {
 public:
  // At most `capacity` files wait at once; handing over one more waits for
  // room, so a fast walk never holds more than that many open files.
  explicit commit_queue(size_t capacity = 8);
  commit_queue(const commit_queue&) = delete;
  commit_queue& operator=(const commit_queue&) = delete;
  // Puts every file handed over in place first.
  ~commit_queue();

  // Hands over `file`, whose content is complete, to be committed (and
  // marked as written by Dirscribe when `mark`). `label` names it in a
  // failure. After the first failure every file handed over is abandoned
  // instead, as a run that stops at its first failure never writes more.
  void push(std::unique_ptr<replacing_file> file, bool mark, std::string label);
  // The first failure so far, without waiting.
  std::optional<commit_failure> failure() const;
  // Waits until every file handed over is in place or abandoned; the first
  // failure, if any.
  std::optional<commit_failure> finish();
  // Where the files these commits replace are kept, for the files handed
  // over later to be written into (see replacing_file::begin). Whatever is
  // kept at the end is removed with the queue.
  spare_files& spares() { return spares_; }

 private:
  struct job {
    std::unique_ptr<replacing_file> file;
    bool mark = false;
    std::string label;
  };
  void work();

  const size_t capacity_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<job> jobs_;
  size_t busy_ = 0;  // jobs taken but not done
  bool closing_ = false;
  bool worker_idle_ = false;  // the worker waits for a job
  int waiting_ = 0;           // callers waiting for room or for the end
  std::optional<commit_failure> failure_;
  spare_files spares_;
  std::thread worker_;
};

}  // namespace dirscribe
