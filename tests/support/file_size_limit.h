// Makes every write beyond a size fail for the life of the object, as a full
// disk would: the process's file size limit is lowered and the signal it
// raises is ignored, so write() fails with EFBIG. Both are restored after.
#pragma once

#include <sys/resource.h>

#include <csignal>

namespace dirscribe {

class file_size_limit {
 public:
  explicit file_size_limit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &previous_);
    previous_handler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit lowered = previous_;
    lowered.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &lowered);
  }
  ~file_size_limit() {
    setrlimit(RLIMIT_FSIZE, &previous_);
    std::signal(SIGXFSZ, previous_handler_);
  }
  file_size_limit(const file_size_limit&) = delete;
  file_size_limit& operator=(const file_size_limit&) = delete;

 private:
  rlimit previous_{};
  void (*previous_handler_)(int) = nullptr;
};

}  // namespace dirscribe
