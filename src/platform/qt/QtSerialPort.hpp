#pragma once
// SerialPort over QSerialPort. When the device goes away the port is closed at
// the first error, and every write while it is closed tries to open the same
// device again, at most about once a second, so the link comes back by itself
// when the device returns.
//
// Writes reach the device before Write returns: QSerialPort alone only queues
// them until the event loop runs, so the last bytes of a command were lost
// when the program ended right after it. A device that takes no bytes for
// WriteLimitMs is a port fault like a read error (closed, Lost). What the
// driver still holds leaves the line before the port is closed.
#include <QElapsedTimer>
#include <QObject>
#include <QSerialPort>
#include <string>

#include "platform/SerialPort.hpp"

namespace qelt {

class QtSerialPort : public QObject, public SerialPort {
  Q_OBJECT
 public:
  explicit QtSerialPort(QObject* parent = nullptr);
  // Drains and closes the port.
  ~QtSerialPort() override;
  bool Open(const std::string& device, const std::string& settings, std::string& error) override;
  bool IsOpen() const override { return port_.isOpen(); }
  // Blocks until the bytes are with the device driver, at most WriteLimitMs.
  void Write(std::string_view bytes) override;
  std::string ReadAll() override;
  std::size_t Pending() override;
  // Waits until written bytes have left the line (at most DrainLimitMs), then
  // closes. Does nothing when closed.
  void Close();

  // True when the driver took the request for low latency at the last open
  // (USB adapters deliver small replies at once instead of on their timer).
  bool LowLatency() const { return lowLatency_; }

  QSerialPort& qport() { return port_; }

  static constexpr int WriteLimitMs = 500;
  static constexpr int DrainLimitMs = 1000;

 signals:
  void Reopened();
  void Lost(QString reason);

 private:
  bool OpenDevice(QString& reason);
  void OnError(QSerialPort::SerialPortError error);
  // Hands what QSerialPort queued to the driver; false when the limit passed.
  bool HandOn(int limitMs);
  void Fault(const QString& reason);
  QSerialPort port_;
  QString device_;
  QElapsedTimer sinceReopenTry_;
  bool lowLatency_ = false;
};

}  // namespace qelt
