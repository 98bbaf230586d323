#include "platform/qt/QtSerialPort.hpp"

#include <QFileInfo>
#include <QSignalBlocker>
#include <QThread>

#ifdef Q_OS_UNIX
#include <sys/ioctl.h>
#include <termios.h>
#endif
#ifdef Q_OS_LINUX
#include <linux/serial.h>
#endif

namespace qelt {

namespace {

// USB serial adapters hold small replies for their latency timer (16 ms on
// the common ones) unless asked for low latency; Linux passes the request on
// to the driver. Pseudo-terminals and plain UARTs refuse it, which is fine.
bool AskLowLatency([[maybe_unused]] const QSerialPort& port) {
#ifdef Q_OS_LINUX
  const int fd = port.handle();
  serial_struct serial{};
  if (::ioctl(fd, TIOCGSERIAL, &serial) != 0) return false;
  if (serial.flags & ASYNC_LOW_LATENCY) return true;
  serial.flags |= ASYNC_LOW_LATENCY;
  return ::ioctl(fd, TIOCSSERIAL, &serial) == 0;
#else
  return false;
#endif
}

// Bytes the driver holds that have not left the line yet; 0 when it cannot tell.
int DriverOutput([[maybe_unused]] const QSerialPort& port) {
#ifdef Q_OS_UNIX
  int queued = 0;
  if (::ioctl(port.handle(), TIOCOUTQ, &queued) != 0) return 0;
  return queued;
#else
  return 0;
#endif
}

}  // namespace

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent) {
  connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::OnError);
}

QtSerialPort::~QtSerialPort() {
  // No signals from a half-destroyed object.
  disconnect(&port_, nullptr, this, nullptr);
  Close();
}

bool QtSerialPort::OpenDevice(QString& reason) {
  // A device path is used as it is; a name such as "COM3" is the platform's port.
  port_.setPortName(device_);
  port_.setBaudRate(QSerialPort::Baud19200);
  port_.setParity(QSerialPort::NoParity);
  port_.setDataBits(QSerialPort::Data8);
  port_.setStopBits(QSerialPort::OneStop);
  port_.setFlowControl(QSerialPort::NoFlowControl);
  if (!port_.open(QIODevice::ReadWrite)) {
    reason = port_.errorString();
    port_.clearError();
    return false;
  }
  port_.clearError();  // pseudo-terminals refuse the modem-line calls; harmless
  lowLatency_ = AskLowLatency(port_);
  return true;
}

bool QtSerialPort::Open(const std::string& device, const std::string& /*settings*/, std::string& error) {
  // The settings are always "19200,n,8,1".
  device_ = QString::fromStdString(device);
  sinceReopenTry_.start();
  QString reason;
  if (!OpenDevice(reason)) {
    error = reason.toStdString();
    return false;
  }
  return true;
}

void QtSerialPort::OnError(QSerialPort::SerialPortError error) {
  if (error == QSerialPort::ReadError || error == QSerialPort::ResourceError || error == QSerialPort::WriteError) {
    if (port_.isOpen()) Fault(port_.errorString());
  }
}

void QtSerialPort::Fault(const QString& reason) {
  {
    // What is still queued would only hold up the close; errors of a
    // device that is gone must not start a second fault meanwhile.
    const QSignalBlocker quiet(port_);
    port_.clear(QSerialPort::Output);
    port_.close();
    port_.clearError();
  }
  sinceReopenTry_.restart();
  emit Lost(reason);
}

bool QtSerialPort::HandOn(int limitMs) {
  QElapsedTimer waited;
  waited.start();
  while (port_.isOpen() && port_.bytesToWrite() > 0) {
    const auto left = static_cast<int>(limitMs - waited.elapsed());
    if (left <= 0) return false;
    // Runs no event loop: reads that come meanwhile go to the read buffer.
    port_.waitForBytesWritten(left);
  }
  return true;
}

void QtSerialPort::Write(std::string_view bytes) {
  if (!port_.isOpen()) {
    if (device_.isEmpty() || sinceReopenTry_.elapsed() < 1000) return;
    sinceReopenTry_.restart();
    QString reason;
    if (!OpenDevice(reason)) return;
    emit Reopened();
  }
  port_.write(bytes.data(), static_cast<qint64>(bytes.size()));
  if (!HandOn(WriteLimitMs))
    Fault(QStringLiteral("the device did not take the written bytes within %1 s").arg(WriteLimitMs / 1000.0));
}

void QtSerialPort::Close() {
  if (!port_.isOpen()) return;
  QElapsedTimer waited;
  waited.start();
  bool drained = HandOn(DrainLimitMs);
  if (drained) {
    // Closing restores the device's old settings at once, which would garble
    // bytes still on their way out.
    while (port_.isOpen() && DriverOutput(port_) > 0 && waited.elapsed() < DrainLimitMs) QThread::msleep(1);
    drained = DriverOutput(port_) == 0;
  }
  if (port_.isOpen()) {
    const QSignalBlocker quiet(port_);
    // Only what could not leave is thrown away: on a pseudo-terminal a flush
    // also drops the bytes the other end has not read yet.
    if (!drained) port_.clear(QSerialPort::Output);
    port_.close();
  }
}

std::string QtSerialPort::ReadAll() {
  if (!port_.isOpen()) return {};
  QByteArray data = port_.readAll();
  return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

std::size_t QtSerialPort::Pending() {
  if (!port_.isOpen()) return 0;
  return static_cast<std::size_t>(port_.bytesAvailable());
}

}  // namespace qelt
