#pragma once
// SerialPort over QSerialPort. When the device goes away the port is closed at
// the first error, and every write while it is closed tries to open the same
// device again, at most about once a second, so the link comes back by itself
// when the device returns.
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
  bool Open(const std::string& device, const std::string& settings, std::string& error) override;
  bool IsOpen() const override { return port_.isOpen(); }
  void Write(std::string_view bytes) override;
  std::string ReadAll() override;
  std::size_t Pending() override;

  QSerialPort& qport() { return port_; }

 signals:
  void Reopened();
  void Lost(QString reason);

 private:
  bool OpenDevice(QString& reason);
  void OnError(QSerialPort::SerialPortError error);
  QSerialPort port_;
  QString device_;
  QElapsedTimer sinceReopenTry_;
};

}  // namespace qelt
