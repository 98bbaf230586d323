#pragma once
// "COM Port": the first window. OK opens the named port; only when that
// worked does it report the choice (the main window shows) and close.
#include <QWidget>

#include "link/MeterState.hpp"
#include "platform/Dialogs.hpp"
#include "platform/SerialPort.hpp"

class QComboBox;
class QPushButton;

namespace qelt {

class PortWindow : public QWidget {
  Q_OBJECT
 public:
  PortWindow(SerialPort& port, MeterState& meter, Dialogs& dialogs, QWidget* parent = nullptr);

  void SetPortText(const QString& text);
  QString PortText() const;
  QComboBox* TxtCOM() const { return txtCom_; }
  QPushButton* CmdOK() const { return cmdOk_; }

 signals:
  // The port is open and ComPort is set: show the main window now, before
  // this window closes.
  void PortChosen();

 public slots:
  void OnOK();

 private:
  void FitWidth();
  SerialPort& port_;
  MeterState& meter_;
  Dialogs& dialogs_;
  QComboBox* txtCom_;
  QPushButton* cmdOk_;
  int width0_ = 0, comboWidth0_ = 0;  // the first sizes
};

}  // namespace qelt
