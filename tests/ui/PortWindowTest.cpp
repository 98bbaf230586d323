// "COM Port": controls, accepted texts, refusals that keep the window.
#include <QComboBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

#include "link/Link.hpp"
#include "link/PortWindow.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/VirtualHost.hpp"
#include "sim/Instrument.hpp"
#include "sim/SimPort.hpp"

using namespace qelt;

namespace {
struct Rig {
  VirtualHost host;
  Instrument instrument;
  SimPort port{host, instrument};
  MeterState meter;
  ScriptedDialogs dialogs;
  PortWindow window{port, meter, dialogs};
};

// Types the text and clicks OK; true when the window reported a choice.
bool Choose(Rig& rig, const QString& text) {
  QSignalSpy chosen(&rig.window, &PortWindow::PortChosen);
  rig.window.TxtCOM()->setCurrentText(text);
  QTest::mouseClick(rig.window.CmdOK(), Qt::LeftButton);
  return chosen.count() == 1;
}
}  // namespace

class PortWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void controlsAtTheirPlaces() {
    Rig rig;
    rig.window.show();
    QCOMPARE(rig.window.windowTitle(), QString("COM Port"));
    QCOMPARE(rig.window.height(), 40);
    QVERIFY(rig.window.width() >= std::max(136, rig.window.fontMetrics().horizontalAdvance("COM Port") + 110));
    QCOMPARE(rig.window.pos(), QPoint(247, 180));
    QComboBox* txt = rig.window.TxtCOM();
    QCOMPARE(txt->objectName(), QString("TxtCOM"));
    QVERIFY(txt->isEditable());
    QCOMPARE(txt->geometry(), QRect(8, 8, 73, 23));
    QCOMPARE(txt->count(), 8);
    for (int i = 0; i < 8; ++i) QCOMPARE(txt->itemText(i), "COM" + QString::number(i + 1));
    QCOMPARE(txt->currentText(), QString("COM1"));
    QCOMPARE(rig.window.CmdOK()->text(), QString("OK"));
    QCOMPARE(rig.window.CmdOK()->geometry(), QRect(88, 8, 41, 25));
  }

  void com12OpensPort12AndCloses() {
    Rig rig;
    rig.window.show();
    QVERIFY(Choose(rig, "COM12"));
    QCOMPARE(rig.meter.ComPort, 12);
    QCOMPARE(rig.port.Device(), DeviceForComPort(12));
    QVERIFY(rig.port.IsOpen());
    QVERIFY(!rig.window.isVisible());
    QVERIFY(rig.dialogs.History.empty());
  }

  void autoOpensPort1() {
    Rig rig;
    rig.window.show();
    QVERIFY(Choose(rig, "Auto"));
    QCOMPARE(rig.meter.ComPort, 1);
    QCOMPARE(rig.port.Device(), DeviceForComPort(1));
  }

  void devicePathIsUsedAsItIs() {
    Rig rig;
    const int first = rig.window.width();
    for (int n = 0; n < 8; ++n) QCOMPARE(rig.window.TxtCOM()->itemText(n), "COM" + QString::number(n + 1));
    // A long device name widens the window so that it can be read whole.
    rig.window.SetPortText("/dev/serial/by-id/usb-adapter-if00-port0");
    const QFontMetrics fm(rig.window.TxtCOM()->font());
    QVERIFY(rig.window.TxtCOM()->width() > fm.horizontalAdvance(rig.window.TxtCOM()->currentText()));
    QVERIFY(rig.window.CmdOK()->geometry().right() < rig.window.width());
    QVERIFY(rig.window.width() > first);
    rig.window.show();
    QVERIFY(Choose(rig, "/dev/pts/9"));
    QCOMPARE(rig.meter.ComPort, 0);
    QCOMPARE(rig.meter.PortDevice, std::string("/dev/pts/9"));
    QCOMPARE(rig.port.Device(), std::string("/dev/pts/9"));
  }

  void refusalsSayWhyAndTheWindowStays() {
    Rig rig;
    rig.window.show();
    QVERIFY(!Choose(rig, "com3"));
    QVERIFY(rig.window.isVisible());
    QVERIFY(!rig.port.IsOpen());
    QCOMPARE(rig.meter.ComPort, 0);
    QCOMPARE(rig.dialogs.History.size(), std::size_t(1));
    QVERIFY(QString::fromStdString(rig.dialogs.History[0].Text).contains("\"com3\""));
    QCOMPARE(rig.dialogs.History[0].Icon, MessageIcon::Stop);
    QCOMPARE(rig.dialogs.History[0].Title, std::string("COM Port"));

    rig.port.SetOpenError("Device or resource busy");
    QVERIFY(!Choose(rig, "COM4"));
    QVERIFY(rig.window.isVisible());
    QCOMPARE(rig.dialogs.History.size(), std::size_t(2));
    QString text = QString::fromStdString(rig.dialogs.History[1].Text);
    QVERIFY2(text.contains("COM4") && text.contains("Device or resource busy"), qPrintable(text));

    // Another choice, now that the port is free.
    rig.port.SetOpenError("");
    QVERIFY(Choose(rig, "COM2"));
    QCOMPARE(rig.meter.ComPort, 2);
    QVERIFY(!rig.window.isVisible());
  }
};

QTEST_MAIN(PortWindowTest)
#include "PortWindowTest.moc"
