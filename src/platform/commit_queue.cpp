#include "platform/commit_queue.h"

#include <cerrno>
#include <utility>

namespace dirscribe {

commit_queue::commit_queue(size_t capacity)
    : capacity_(capacity > 0 ? capacity : 1), worker_([this] { work(); }) {}

commit_queue::~commit_queue() {
  finish();
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void commit_queue::push(std::unique_ptr<replacing_file> file, bool mark, std::string label) {
  std::unique_lock lock(mutex_);
  if (jobs_.size() >= capacity_) {
    ++waiting_;
    changed_.wait(lock, [this] { return jobs_.size() < capacity_; });
    --waiting_;
  }
  jobs_.push_back({std::move(file), mark, std::move(label)});
  // A wake-up costs a system call: only when the worker sleeps.
  if (worker_idle_) changed_.notify_all();
}

std::optional<commit_failure> commit_queue::failure() const {
  std::lock_guard lock(mutex_);
  return failure_;
}

std::optional<commit_failure> commit_queue::finish() {
  std::unique_lock lock(mutex_);
  ++waiting_;
  changed_.wait(lock, [this] { return jobs_.empty() && busy_ == 0; });
  --waiting_;
  return failure_;
}

void commit_queue::work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    worker_idle_ = true;
    changed_.wait(lock, [this] { return closing_ || !jobs_.empty(); });
    worker_idle_ = false;
    if (jobs_.empty()) return;  // closing, and nothing left
    job next = std::move(jobs_.front());
    jobs_.pop_front();
    ++busy_;
    const bool failed_before = failure_.has_value();
    if (waiting_ > 0) changed_.notify_all();  // room for one more
    lock.unlock();

    bool ok = true;
    int error = 0;
    if (failed_before) {
      next.file->abandon();
    } else if (!next.file->commit(next.mark)) {
      ok = false;
      error = errno;
    }
    next.file.reset();

    lock.lock();
    if (!ok && !failure_) failure_ = commit_failure{std::move(next.label), error};
    --busy_;
    if (waiting_ > 0) changed_.notify_all();
  }
}

}  // namespace dirscribe
