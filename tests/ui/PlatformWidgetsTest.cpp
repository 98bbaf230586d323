// The toolbar, the captioned panel, twips geometry and the Qt file filter.
#include <QApplication>
#include <QSignalSpy>
#include <QToolButton>
#include <QtTest>
#include <memory>

#include "platform/Twips.hpp"
#include "platform/qt/Artwork.hpp"
#include "platform/qt/CaptionPanel.hpp"
#include "platform/qt/QtDialogs.hpp"
#include "platform/qt/QtWindowSurface.hpp"
#include "platform/qt/Toolbar.hpp"
#include "platform/qt/TwipsGeometry.hpp"

using namespace qelt;

class PlatformWidgetsTest : public QObject {
  Q_OBJECT
 private slots:
  void windowSurfaceOutlivesItsWindow() {
    auto* window = new QWidget;
    window->setWindowTitle("List");
    QSignalSpy titles(window, &QWidget::windowTitleChanged);
    {
      QtWindowSurface surface(window);
      QCOMPARE(surface.Caption(), std::string("List"));
      QVERIFY(!surface.Gone());
      surface.SetCaption("1 record(s) completed");
      QCOMPARE(titles.count(), 1);
      QCOMPARE(window->windowTitle(), QString("1 record(s) completed"));

      surface.SetBusy(true);
      QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
      surface.SetBusy(false);
      QVERIFY(!QApplication::overrideCursor());
      surface.SetBusy(false);  // unpaired: nobody else's pointer is taken away
      QApplication::setOverrideCursor(Qt::CrossCursor);
      surface.SetBusy(false);
      QCOMPARE(QApplication::overrideCursor()->shape(), Qt::CrossCursor);
      QApplication::restoreOverrideCursor();

      // The window goes during a wait: every call stays safe.
      surface.SetBusy(true);
      delete window;
      QVERIFY(surface.Gone());
      QCOMPARE(surface.Caption(), std::string());
      surface.SetCaption("2 record(s) completed");
      surface.RunEventsOnce();
    }
    QVERIFY(!QApplication::overrideCursor());  // the pointer left busy comes back with the surface
  }

  void toolbarReportsKeysAndLendsPictures() {
    Toolbar bar;
    QCOMPARE(bar.AddButton("Save", ToolbarPicture("Save"), "Save As"), 1);
    QCOMPARE(bar.AddButton("Open", ToolbarPicture("Open"), "Open File"), 2);
    QCOMPARE(bar.AddButton("StopRecording", ToolbarPicture("StopRecording"), "Stop Recording", false), 3);
    bar.show();
    QCOMPARE(bar.Count(), 3);
    QCOMPARE(bar.IndexOf("Open"), 2);
    QCOMPARE(bar.IndexOf("nothing"), 0);
    QCOMPARE(bar.Key(3), QString("StopRecording"));
    QVERIFY(bar.IsButtonVisible(1));
    QVERIFY(!bar.IsButtonVisible(3));
    QVERIFY(!bar.Picture(3).isNull());  // a hidden button keeps its picture

    QSignalSpy clicks(&bar, &Toolbar::ButtonClick);
    QTest::mouseClick(bar.Button(2), Qt::LeftButton);
    bar.Click(1);
    bar.Click(3);  // hidden: a click still reports its key
    bar.Click(9);  // no such button
    QCOMPARE(clicks.count(), 3);
    QCOMPARE(clicks[0][0].toString(), QString("Open"));
    QCOMPARE(clicks[1][0].toString(), QString("Save"));
    QCOMPARE(clicks[2][0].toString(), QString("StopRecording"));

    const qint64 stopPicture = bar.Picture(3).cacheKey();
    bar.LendPicture(1, 3);
    bar.SetToolTip(1, "Stop Recording");
    QCOMPARE(bar.Picture(1).cacheKey(), stopPicture);
    QCOMPARE(bar.ToolTip(1), QString("Stop Recording"));
    QCOMPARE(bar.Button(1)->toolTip(), QString("Stop Recording"));
    QCOMPARE(bar.Key(1), QString("Save"));  // the key stays

    // A command button runs its function while its context exists.
    int printed = 0;
    auto context = std::make_unique<QObject>();
    QCOMPARE(bar.AddCommand("Print", ToolbarPicture("Save"), "Print", context.get(), [&printed] { ++printed; }), 4);
    QVERIFY(bar.IsButtonVisible(4));
    QTest::mouseClick(bar.Button(4), Qt::LeftButton);
    QCOMPARE(printed, 1);
    QCOMPARE(clicks.count(), 4);  // the key is reported as for any button
    QCOMPARE(clicks[3][0].toString(), QString("Print"));
    context.reset();
    bar.Click(4);
    QCOMPARE(printed, 1);
  }

  void artworkIsCompiledIn() {
    for (const char* key : {"Save", "Open", "List", "Graph", "Sampling", "Memory", "Harmonic", "RTC", "StopRecording",
                            "StopRec", "sss"}) {
      QIcon icon = ToolbarPicture(key);
      QVERIFY2(!icon.pixmap(20, 20).isNull(), key);
    }
    for (const char* name : {"P1P2W", "P1P3W", "P3P3W2M", "P3P4W"})
      QVERIFY2(QFile::exists(WiringPicturePath(name)), name);
  }

  void captionPanelAsProgressBar() {
    CaptionPanel panel("KW1");
    panel.resize(57, 24);
    panel.show();
    QCOMPARE(panel.ShownText(), QString("KW1"));
    QVERIFY(!panel.Flooding());
    panel.SetFloodPercent(45);
    QVERIFY(panel.Flooding());
    QCOMPARE(panel.ShownText(), QString("45%"));
    panel.SetFloodPercent(250);
    QCOMPARE(panel.FloodPercent(), 100);
    QImage image = panel.grab().toImage();
    // Filled all the way: the middle of the left edge is the fill colour.
    QCOMPARE(image.pixelColor(3, image.height() / 2), panel.palette().color(QPalette::Highlight));
    panel.SetFloodPercent(-1);
    QCOMPARE(panel.ShownText(), QString("KW1"));
  }

  void twips() {
    QCOMPARE(TwipsToPixels(855), 57);
    QCOMPARE(TwipsToPixels(6825), 455);
    QCOMPARE(TwipsToPixels(3700), 247);
    QCOMPARE(TwipsToPixels(7), 0);
    QCOMPARE(TwipsToPixels(8), 1);
    QCOMPARE(TwipsToPixels(-8), -1);
    QCOMPARE(TwipsRect(120, 6720, 855, 375), QRect(8, 448, 57, 25));
    QWidget window;
    FixClientSizeTwips(window, 2040, 600);
    QCOMPARE(window.size(), QSize(136, 40));
  }

  void qtFileFilter() {
    QString selected;
    QCOMPARE(QtDialogs::QtFilter("All Files (*.*)|*.*|", 1, &selected), QString("All Files (*.*) (*)"));
    QCOMPARE(selected, QString("All Files (*.*) (*)"));
    QCOMPARE(QtDialogs::QtFilter("Data (*.mes)|*.mes;*.txt|All|*.*|", 2, &selected),
             QString("Data (*.mes) (*.mes *.txt);;All (*)"));
    QCOMPARE(selected, QString("All (*)"));
  }
};

QTEST_MAIN(PlatformWidgetsTest)
#include "PlatformWidgetsTest.moc"
