#include "sim/PtySimulator.hpp"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <vector>

#include "sim/ReceiveFifo.hpp"

namespace qelt {
namespace {

std::string SystemError(const char* what) { return std::string(what) + ": " + std::strerror(errno); }

DateTime LocalNow() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
  localtime_r(&t, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

void CloseFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// Makes link a symbolic link to target, replacing an older link (never a
// regular file) in one step.
bool MakeLink(const std::string& link, const std::string& target, std::string& error) {
  struct stat st {};
  if (::lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
    error = link + " exists and is not a symbolic link";
    return false;
  }
  const std::string temp = link + ".tmp" + std::to_string(::getpid());
  ::unlink(temp.c_str());
  if (::symlink(target.c_str(), temp.c_str()) != 0) {
    error = SystemError(("cannot create link " + link).c_str());
    return false;
  }
  if (::rename(temp.c_str(), link.c_str()) != 0) {
    error = SystemError(("cannot create link " + link).c_str());
    ::unlink(temp.c_str());
    return false;
  }
  return true;
}

// Removes link only while it still leads to target (a newer simulator may
// have taken the name over).
void RemoveLink(const std::string& link, const std::string& target) {
  std::vector<char> buffer(4096);
  ssize_t n = ::readlink(link.c_str(), buffer.data(), buffer.size() - 1);
  if (n > 0 && std::string(buffer.data(), static_cast<std::size_t>(n)) == target) ::unlink(link.c_str());
}

}  // namespace

bool PtySimulator::Start(const PtySimulatorOptions& options, std::string& devicePath, std::string& error) {
  if (Running()) {
    error = "the simulator runs already";
    return false;
  }
  if (::openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) {
    error = SystemError("cannot open a pseudo-terminal");
    return false;
  }
  auto fail = [&](std::string message) {
    error = std::move(message);
    CloseFd(master_);
    CloseFd(slave_);
    CloseFd(wakeRead_);
    CloseFd(wakeWrite_);
    return false;
  };
  ::fcntl(master_, F_SETFD, FD_CLOEXEC);
  ::fcntl(slave_, F_SETFD, FD_CLOEXEC);
  ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);

  termios tio{};
  if (::tcgetattr(slave_, &tio) == 0) {
    ::cfmakeraw(&tio);
    ::cfsetspeed(&tio, B19200);
    ::tcsetattr(slave_, TCSANOW, &tio);
  }
  const char* name = ::ttyname(slave_);
  if (!name) return fail(SystemError("cannot name the pseudo-terminal"));
  devicePath_ = name;

  int pipeFds[2];
  if (::pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) return fail(SystemError("cannot create a pipe"));
  wakeRead_ = pipeFds[0];
  wakeWrite_ = pipeFds[1];

  linkPath_.clear();
  if (!options.LinkPath.empty()) {
    std::string linkError;
    if (!MakeLink(options.LinkPath, devicePath_, linkError)) return fail(linkError);
    linkPath_ = options.LinkPath;
  }

  InstrumentSettings settings = options.Instrument;
  if (!settings.Clock) settings.Clock = LocalNow();
  stop_ = false;
  thread_ = std::thread([this, settings, listener = options.Listener] {
    Instrument instrument(settings);
    instrument.SetListener(listener);
    Serve(instrument);
  });
  devicePath = devicePath_;
  return true;
}

void PtySimulator::Stop() {
  if (!Running()) return;
  stop_ = true;
  const char wake = 'x';
  [[maybe_unused]] auto written = ::write(wakeWrite_, &wake, 1);
  thread_.join();
  if (!linkPath_.empty()) RemoveLink(linkPath_, devicePath_);
  linkPath_.clear();
  CloseFd(master_);
  CloseFd(slave_);
  CloseFd(wakeRead_);
  CloseFd(wakeWrite_);
}

void PtySimulator::Serve(Instrument& instrument) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point origin = Clock::now();
  auto now = [&] { return std::chrono::duration<double>(Clock::now() - origin).count(); };

  std::string outbox;  // arrived at the line, not yet taken by the terminal
  bool masterDown = false;
  char buffer[4096];
  while (!stop_) {
    const double at = now();
    const FifoStep fifo = ReceiveFifoAt(instrument, at);
    if (fifo.Release > 0) outbox += instrument.TakeArrived(at);
    if (!outbox.empty() && !masterDown) {
      ssize_t n = ::write(master_, outbox.data(), outbox.size());
      if (n > 0) {
        outbox.erase(0, static_cast<std::size_t>(n));
      } else if (n < 0 && errno != EAGAIN && errno != EINTR) {
        outbox.clear();  // nobody at the other end: the bytes are lost on the line
        masterDown = errno == EIO;
      }
    }

    // Sleep until a command comes, the receiver has bytes to hand on, or Stop.
    int timeout = -1;
    const double next = fifo.NextCheck;
    if (next != Instrument::Never)
      timeout = static_cast<int>(std::clamp(std::ceil((next - now()) * 1000.0), 0.0, 1000.0));
    if (masterDown) timeout = 100;  // a hang-up passes when a client opens the device again
    pollfd fds[2] = {{wakeRead_, POLLIN, 0}, {master_, 0, 0}};
    if (!masterDown) fds[1].events = static_cast<short>(POLLIN | (outbox.empty() ? 0 : POLLOUT));
    int ready = ::poll(fds, 2, timeout);
    if (ready < 0 && errno != EINTR) break;
    if (fds[0].revents) break;
    masterDown = false;
    if (fds[1].revents & POLLIN) {
      for (;;) {
        ssize_t n = ::read(master_, buffer, sizeof buffer);
        if (n > 0) {
          instrument.Receive(std::string_view(buffer, static_cast<std::size_t>(n)), now());
          continue;
        }
        if (n < 0 && errno == EIO) masterDown = true;
        break;
      }
    } else if (fds[1].revents & (POLLHUP | POLLERR)) {
      masterDown = true;
    }
  }
}

}  // namespace qelt
