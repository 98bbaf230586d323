#include "link/PortWindow.hpp"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

#include "link/PortChoice.hpp"
#include "platform/qt/TwipsGeometry.hpp"

namespace qelt {

PortWindow::PortWindow(SerialPort& port, MeterState& meter, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent, Qt::Window), port_(port), meter_(meter), dialogs_(dialogs) {
  setObjectName("Port");
  setWindowTitle("COM Port");
  FixClientSizeTwips(*this, 2040, 600);

  txtCom_ = new QComboBox(this);
  txtCom_->setObjectName("TxtCOM");
  txtCom_->setEditable(true);
  txtCom_->setInsertPolicy(QComboBox::NoInsert);
  PlaceTwips(*txtCom_, 120, 120, 1095, 345);

  cmdOk_ = new QPushButton("OK", this);
  cmdOk_->setObjectName("CmdOK");
  cmdOk_->setDefault(true);
  PlaceTwips(*cmdOk_, 1320, 120, 615, 375);

  // Load: the place on the screen and the list items.
  MoveWindowTwips(*this, 3700, 2700);
  for (int n = 1; n <= 8; ++n) txtCom_->addItem("COM" + QString::number(n));
  txtCom_->setCurrentText("COM1");

  connect(cmdOk_, &QPushButton::clicked, this, &PortWindow::OnOK);
  connect(txtCom_->lineEdit(), &QLineEdit::returnPressed, this, &PortWindow::OnOK);
}

void PortWindow::SetPortText(const QString& text) { txtCom_->setCurrentText(text); }

void PortWindow::OnOK() {
  std::string text = txtCom_->currentText().toStdString();
  std::string problem = OpenChosenPort(port_, meter_, text);
  if (!problem.empty()) {
    dialogs_.Message(problem, MessageIcon::Stop, MessageButtons::Ok, "COM Port");
    txtCom_->setFocus();
    return;
  }
  emit PortChosen();
  close();
}

}  // namespace qelt
