#include "link/PortWindow.hpp"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <algorithm>

#include "link/Link.hpp"
#include "link/PortChoice.hpp"
#include "platform/qt/TwipsGeometry.hpp"

namespace qelt {

PortWindow::PortWindow(SerialPort& port, MeterState& meter, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), port_(port), meter_(meter), dialogs_(dialogs) {
  setObjectName("Port");
  setWindowTitle("COM Port");
  FixClientSizeTwips(*this, 2040, 600);
  // Wide enough that the window manager shows the whole title beside its
  // buttons (about 110 pixels of them).
  width0_ = std::max(width(),
                     QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(windowTitle()) + 110);

  txtCom_ = new QComboBox(this);
  txtCom_->setObjectName("TxtCOM");
  txtCom_->setEditable(true);
  txtCom_->setInsertPolicy(QComboBox::NoInsert);
  PlaceTwips(*txtCom_, 120, 120, 1095, 345);
  comboWidth0_ = txtCom_->width();

  cmdOk_ = new QPushButton("OK", this);
  cmdOk_->setObjectName("CmdOK");
  cmdOk_->setDefault(true);
  PlaceTwips(*cmdOk_, 1320, 120, 615, 375);

  // Load: the place on the screen and the list items.
  MoveWindowTwips(*this, 3700, 2700);
  for (int n = 1; n <= 8; ++n) txtCom_->addItem("COM" + QString::number(n));
  // Then the system's other serial ports (USB adapters), so that nobody has
  // to know their device names; the adapter's description is the tip.
  for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
    const std::string device = info.systemLocation().toStdString();
    bool numbered = false;
    for (int n = 1; n <= 16 && !numbered; ++n) numbered = device == DeviceForComPort(n);
    if (numbered) continue;
    txtCom_->addItem(info.systemLocation());
    QStringList tip;
    for (const QString& part : {info.description(), info.manufacturer(), info.serialNumber()})
      if (!part.isEmpty()) tip << part;
    txtCom_->setItemData(txtCom_->count() - 1, tip.join(", "), Qt::ToolTipRole);
  }
  txtCom_->setCurrentText("COM1");
  FitWidth();

  connect(cmdOk_, &QPushButton::clicked, this, &PortWindow::OnOK);
  connect(txtCom_->lineEdit(), &QLineEdit::returnPressed, this, &PortWindow::OnOK);
}

void PortWindow::SetPortText(const QString& text) {
  txtCom_->setCurrentText(text);
  FitWidth();
}

QString PortWindow::PortText() const { return txtCom_->currentText(); }

void PortWindow::FitWidth() {
  // Wide enough for the longest port name; never narrower than its first size.
  const QFontMetrics fm(txtCom_->font());
  int text = fm.horizontalAdvance(txtCom_->currentText());
  for (int i = 0; i < txtCom_->count(); ++i) text = std::max(text, fm.horizontalAdvance(txtCom_->itemText(i)));
  const int combo = std::max(comboWidth0_, text + 36);
  txtCom_->resize(combo, txtCom_->height());
  cmdOk_->move(txtCom_->geometry().right() + 8, cmdOk_->y());
  const int width = std::max(width0_, cmdOk_->geometry().right() + 8);
  setFixedSize(width, height());
}

void PortWindow::OnOK() {
  std::string text = txtCom_->currentText().toStdString();
  std::string problem = OpenChosenPort(port_, meter_, text);
  if (!problem.empty()) {
    dialogs_.Message(problem, MessageIcon::Stop, MessageButtons::Ok, "COM Port");
    txtCom_->setFocus();
    return;
  }
  // Gone from the screen first: the main window opens where this one was
  // not in its way.
  hide();
  emit PortChosen();
  close();
}

}  // namespace qelt
