#pragma once
// A file size limit for as long as the object lives: it stands in for a full
// disk. SIGXFSZ is ignored meanwhile, so a write past the limit fails with
// EFBIG instead of ending the test program; both are put back at the end.
#include <sys/resource.h>

#include <csignal>

namespace qelt::test {

class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) : handler_(std::signal(SIGXFSZ, SIG_IGN)) {
    if (getrlimit(RLIMIT_FSIZE, &old_) != 0) return;
    rlimit lowered = old_;
    lowered.rlim_cur = bytes;
    set_ = setrlimit(RLIMIT_FSIZE, &lowered) == 0;
  }
  ~FileSizeLimit() {
    if (set_) setrlimit(RLIMIT_FSIZE, &old_);
    std::signal(SIGXFSZ, handler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  // Whether the limit holds.
  bool Set() const { return set_; }

 private:
  rlimit old_{};
  bool set_ = false;
  void (*handler_)(int);
};

}  // namespace qelt::test
