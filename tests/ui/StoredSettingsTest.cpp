// What the program keeps between runs: a round trip through the file, and
// the defaults from a damaged one.
#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include "platform/qt/StoredSettings.hpp"
#include "platform/qt/WindowPlaces.hpp"

using namespace qelt;

class StoredSettingsTest : public QObject {
  Q_OBJECT
 private slots:
  void RoundTrip() {
    QTemporaryDir dir;
    const QString path = dir.filePath("qelt.ini");
    {
      StoredSettings s(path);
      QCOMPARE(s.PortText(), QString());
      QVERIFY(!s.SamplingInterval());
      QVERIFY(!s.WindowPlace("List"));
      s.SetPortText("/dev/ttyUSB0");
      s.SetSamplingInterval(30);
      s.SetFolder("Save As", "/home/ann/runs");
      s.SetFolder("Open File", "/srv/data");
      s.SetWindowPlace("List", QPoint(480, -12));
    }
    StoredSettings s(path);
    QCOMPARE(s.PortText(), QString("/dev/ttyUSB0"));
    QCOMPARE(s.SamplingInterval(), std::optional<int>(30));
    QCOMPARE(s.Folder("Save As"), QString("/home/ann/runs"));
    QCOMPARE(s.Folder("Open File"), QString("/srv/data"));
    QCOMPARE(s.Folder("print"), QString());
    QCOMPARE(s.WindowPlace("List"), std::optional<QPoint>(QPoint(480, -12)));
  }

  void DamagedFileGivesTheDefaults() {
    QTemporaryDir dir;
    const QString path = dir.filePath("qelt.ini");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[sampling]\ninterval=0\n[port]\ntext=\"COM1\n[windows]\nList=12,abc\nPlot=99999999,1\n");
    file.write(QByteArray("\0\xff\xfe[[[=\n", 9));
    file.close();
    {
      StoredSettings s(path);
      QVERIFY(s.Usable());
      QVERIFY(!s.SamplingInterval());  // out of 1..86400
      QVERIFY(!s.WindowPlace("List"));
      QVERIFY(!s.WindowPlace("Plot"));  // far off every screen
      s.SetSamplingInterval(86400);
    }
    // What is written after a damaged file is read back.
    QCOMPARE(StoredSettings(path).SamplingInterval(), std::optional<int>(86400));
  }

  void AMovedWindowOpensWhereItWasLeft() {
    QTemporaryDir dir;
    StoredSettings settings(dir.filePath("qelt.ini"));
    WindowPlaces places(settings);
    QPoint client;
    {
      QWidget list;
      list.setObjectName("List");
      list.resize(200, 100);
      list.move(10, 10);
      list.show();
      QVERIFY(QTest::qWaitForWindowExposed(&list));
      list.hide();  // not moved: nothing kept
      QVERIFY(!settings.WindowPlace("List"));
      list.show();
      list.move(150, 120);
      client = list.geometry().topLeft();
      list.hide();
    }
    // The client area's place is kept: the frame is the window manager's.
    QCOMPARE(settings.WindowPlace("List"), std::optional<QPoint>(client));
    QWidget again;
    again.setObjectName("List");
    again.resize(200, 100);
    again.move(0, 0);  // where its code puts it
    again.show();
    QTRY_COMPARE(again.pos(), QPoint(150, 120));
  }

  void AWindowThatGrowsAsItShowsStaysOnTheScreen() {
    QTemporaryDir dir;
    StoredSettings settings(dir.filePath("qelt.ini"));
    WindowPlaces places(settings);
    QWidget graph;
    graph.setObjectName("Graph");
    graph.resize(300, 200);
    const QRect room = graph.screen()->availableGeometry();
    graph.move(room.left() + 40, room.bottom() - 260);
    graph.show();
    QVERIFY(QTest::qWaitForWindowExposed(&graph));
    graph.resize(300, 400);  // its layout grew it
    QTRY_VERIFY(room.contains(graph.frameGeometry()));
    QCOMPARE(graph.frameGeometry().left(), room.left() + 40);  // only as far as it must

    // Larger than the room: the title bar stays reachable.
    QWidget huge;
    huge.setObjectName("Huge");
    huge.resize(room.width() + 100, room.height() + 100);
    huge.move(room.left() + 30, room.top() + 30);
    huge.show();
    QVERIFY(QTest::qWaitForWindowExposed(&huge));
    QTRY_COMPARE(huge.frameGeometry().topLeft(), room.topLeft());
  }

  void ARememberedWindowDoesNotCreep() {
    QTemporaryDir dir;
    const QString path = dir.filePath("qelt.ini");
    const QPoint left(321, 234);
    {
      StoredSettings settings(path);
      WindowPlaces places(settings);
      QWidget list;
      list.setObjectName("List");
      list.resize(200, 100);
      list.show();
      QVERIFY(QTest::qWaitForWindowExposed(&list));
      list.setGeometry(QRect(left, list.size()));
      list.hide();
    }
    // Closed and opened again, also by a program started again: the client
    // area stands where it was left each time.
    for (int round = 0; round < 3; ++round) {
      StoredSettings settings(path);
      WindowPlaces places(settings);
      for (int reopen = 0; reopen < 2; ++reopen) {
        QWidget list;
        list.setObjectName("List");
        list.resize(200, 100);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        QCOMPARE(list.geometry().topLeft(), left);
        list.close();
      }
      QCOMPARE(settings.WindowPlace("List"), std::optional<QPoint>(left));
    }
  }
};

QTEST_MAIN(StoredSettingsTest)
#include "StoredSettingsTest.moc"
