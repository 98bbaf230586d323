// QtSerialPort and QtHost on a real pseudo-terminal: written bytes are with
// the device when Write returns, a device that takes none is a port fault,
// closing drains, and a wait for bytes ends when they come.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <string>
#include <thread>

#include "link/Link.hpp"
#include "platform/qt/QtHost.hpp"
#include "platform/qt/QtSerialPort.hpp"

namespace {

// The other end of the line: the master side of a pseudo-terminal pair.
struct Line {
  int master = -1;
  int slave = -1;  // kept open so the master sees no hang-up
  std::string device;

  Line() {
    if (::openpty(&master, &slave, nullptr, nullptr, nullptr) != 0) return;
    termios tio{};
    ::tcgetattr(slave, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(slave, TCSANOW, &tio);
    ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
    device = ::ttyname(slave);
  }
  ~Line() {
    if (master >= 0) ::close(master);
    if (slave >= 0) ::close(slave);
  }
  Line(const Line&) = delete;
  Line& operator=(const Line&) = delete;

  // What has arrived, waiting at most ms for want bytes (the terminal hands
  // them on a moment after they were written).
  std::string Take(int ms, std::size_t want = 1) {
    std::string got;
    QElapsedTimer waited;
    waited.start();
    while (got.size() < want) {
      const auto left = static_cast<int>(ms - waited.elapsed());
      pollfd fd{master, POLLIN, 0};
      if (::poll(&fd, 1, std::max(left, 0)) <= 0) break;
      char buffer[4096];
      for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;) got.append(buffer, static_cast<std::size_t>(n));
    }
    return got;
  }
  void Send(const std::string& bytes) const { [[maybe_unused]] auto n = ::write(master, bytes.data(), bytes.size()); }
};

}  // namespace

class QtSerialPortTest : public QObject {
  Q_OBJECT

 private slots:
  void WrittenBytesAreOnTheLineWithoutTheEventLoop() {
    Line line;
    QVERIFY(!line.device.empty());
    qelt::QtSerialPort port;
    std::string error;
    QVERIFY2(port.Open(line.device, "19200,n,8,1", error), error.c_str());
    port.Write("E");
    port.Write(std::string("D\x26\x12\x10\x09\x45\x00", 7));
    // No event loop runs from here on: the bytes left in Write.
    QCOMPARE(line.Take(2000, 8), std::string("ED\x26\x12\x10\x09\x45\x00", 8));
    QCOMPARE(port.qport().bytesToWrite(), 0);
    // A pseudo-terminal refuses the low-latency request, and says nothing.
    QVERIFY(!port.LowLatency());
    QVERIFY(port.IsOpen());
  }

  void TheLastBytesLeaveWhenThePortCloses() {
    Line line;
    {
      qelt::QtSerialPort port;
      std::string error;
      QVERIFY2(port.Open(line.device, "19200,n,8,1", error), error.c_str());
      port.Write("wG");
    }
    QCOMPARE(line.Take(2000, 2), std::string("wG"));
  }

  void ADeviceThatTakesNoBytesIsAPortFault() {
    Line line;
    qelt::QtSerialPort port;
    QSignalSpy lost(&port, &qelt::QtSerialPort::Lost);
    std::string error;
    QVERIFY2(port.Open(line.device, "19200,n,8,1", error), error.c_str());
    // Nobody reads the other end: once the terminal's buffers are full the
    // device takes nothing more, and the write gives up after its limit.
    QElapsedTimer took;
    took.start();
    const std::string flood(1 << 20, 'w');
    port.Write(flood);
    QCOMPARE(lost.count(), 1);
    QVERIFY(!port.IsOpen());
    QVERIFY(took.elapsed() >= qelt::QtSerialPort::WriteLimitMs);
    QVERIFY(!lost.at(0).at(0).toString().isEmpty());
    // The next write within a second does not reopen; one after it does.
    QSignalSpy reopened(&port, &qelt::QtSerialPort::Reopened);
    while (!line.Take(0).empty()) {
    }
    port.Write("w");
    QCOMPARE(reopened.count(), 0);
    QTest::qWait(1100);
    port.Write("w");
    QCOMPARE(reopened.count(), 1);
    QVERIFY(port.IsOpen());
  }

  void AWaitForBytesEndsWhenTheyCome() {
    Line line;
    qelt::QtHost host;
    qelt::QtSerialPort port;
    qelt::Link link(host, port);
    std::string error;
    QVERIFY2(link.OpenPort(line.device, 0, error), error.c_str());
    QCOMPARE(line.Take(1000), std::string("E"));
    // The echo comes 50 ms after the request; a wait of up to 30 s for it
    // ends when it is there.
    std::thread echo([&] {
      if (line.Take(5000) == "w") {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        line.Send("w");
      }
    });
    const double start = host.Monotonic();
    port.Write("w");
    link.AwaitPending(1, 30.0);
    const double waited = host.Monotonic() - start;
    echo.join();
    QCOMPARE(port.ReadAll(), std::string("w"));
    QVERIFY2(waited < 10.0, std::to_string(waited).c_str());
    QVERIFY(waited >= 0.04);
  }
};

QTEST_GUILESS_MAIN(QtSerialPortTest)
#include "QtSerialPortTest.moc"
