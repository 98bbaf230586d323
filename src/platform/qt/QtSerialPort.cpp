#include "platform/qt/QtSerialPort.hpp"

#include <QFileInfo>

namespace qelt {

QtSerialPort::QtSerialPort(QObject* parent) : QObject(parent) {
  connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialPort::OnError);
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
    if (port_.isOpen()) {
      QString reason = port_.errorString();
      port_.close();
      sinceReopenTry_.restart();
      emit Lost(reason);
    }
  }
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
