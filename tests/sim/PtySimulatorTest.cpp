// qelt's simulator on a real pseudo-terminal: a client opens the device,
// wakes the instrument, goes away and comes back.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>

#include "sim/PtySimulator.hpp"

namespace qelt::test {
namespace {

int OpenRaw(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return fd;
  termios tio{};
  ::tcgetattr(fd, &tio);
  ::cfmakeraw(&tio);
  ::tcsetattr(fd, TCSANOW, &tio);
  return fd;
}

// Reads until count bytes came or two seconds passed.
std::string ReadFor(int fd, std::size_t count) {
  std::string got;
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  while (got.size() < count && std::chrono::steady_clock::now() < end) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    char buffer[512];
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n > 0) got.append(buffer, static_cast<std::size_t>(n));
  }
  return got;
}

TEST(PtySimulator, AnswersOnAPseudoTerminalAcrossReopens) {
  const std::string link = testing::TempDir() + "qelt-sim-test-link";
  PtySimulatorOptions options;
  options.LinkPath = link;
  PtySimulator sim;
  std::string device, error;
  ASSERT_TRUE(sim.Start(options, device, error)) << error;
  EXPECT_EQ(device.rfind("/dev/", 0), 0u);
  char target[256] = {};
  ASSERT_GT(::readlink(link.c_str(), target, sizeof target - 1), 0);
  EXPECT_EQ(device, target);

  for (int client = 0; client < 2; ++client) {
    int fd = OpenRaw(client == 0 ? device : link);
    ASSERT_GE(fd, 0);
    tcflush(fd, TCIFLUSH);
    ASSERT_EQ(::write(fd, "w", 1), 1);
    EXPECT_EQ(ReadFor(fd, 1), "w") << "client " << client;
    ASSERT_EQ(::write(fd, " ", 1), 1);
    std::string frame = ReadFor(fd, 61);
    ASSERT_EQ(frame.size(), 61u);
    EXPECT_EQ(frame.front(), '\x02');
    EXPECT_EQ(frame.back(), '\x03');
    ::close(fd);
  }
  std::string second;
  EXPECT_FALSE(sim.Start(options, second, error));  // runs already
  sim.Stop();
  struct stat st {};
  EXPECT_NE(::lstat(link.c_str(), &st), 0);  // the link is gone with it
  EXPECT_FALSE(sim.Running());
}

TEST(PtySimulator, RefusesToReplaceAFileThatIsNotALink) {
  const std::string path = testing::TempDir() + "qelt-sim-test-file";
  {
    int fd = ::open(path.c_str(), O_CREAT | O_WRONLY, 0600);
    ::close(fd);
  }
  PtySimulatorOptions options;
  options.LinkPath = path;
  PtySimulator sim;
  std::string device, error;
  EXPECT_FALSE(sim.Start(options, device, error));
  EXPECT_NE(error.find("not a symbolic link"), std::string::npos) << error;
  ::unlink(path.c_str());
}

}  // namespace
}  // namespace qelt::test
