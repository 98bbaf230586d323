#pragma once
// "Panel": the main window. It owns the two timers, shows the live readings
// and the link state, and starts every other function from its toolbar.
//
// Other parts of the program attach to it without reaching inside:
//  - SetKeyAction("Save" | "Open" | "List" | "Graph" | "Sampling" | "Harmonic", fn):
//    what a toolbar button does ("RTC" and "Memory" are the window's own);
//  - Timer2Tick(): the 1000 ms sampling tick;
//  - Label("LblRec" | "LblCount" | "LblFileName" | "LblCOM" | "LblKW1" ...) and
//    Toolbar1() for the recording status and button 1's picture;
//  - StopTimer1() / StartTimer1() around their own exchanges, OpenLogger for
//    "Memory" once the directory holds sets;
//  - Ending(): the program ends (close other windows, close files).
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>
#include <map>

#include "app/Session.hpp"
#include "link/Link.hpp"
#include "platform/Dialogs.hpp"

class QLabel;

namespace qelt {

class CaptionPanel;
class Toolbar;

class PanelWindow : public QWidget {
  Q_OBJECT
 public:
  // The port was opened by the port window; link and session outlive the window.
  PanelWindow(Session& session, Link& link, Dialogs& dialogs, QWidget* parent = nullptr);
  ~PanelWindow() override;

  // The load sequence: CosTable, place, port and LblCOM, "E", Recording
  // cleared, SampleTime 2, logger caches, Timer2 and Timer1. Call once, after
  // attaching the hooks.
  void Load();

  Toolbar& Toolbar1() const { return *toolbar_; }
  // A label by name (value labels, LblRec, LblCount, LblFileName, LblCOM); nullptr if none.
  QLabel* Label(const QString& name) const;
  // The header panel above a value label.
  CaptionPanel* Header(const QString& label) const;
  // P1P2W, P1P3W, P3P3W2M, P3P4W (index 0..3).
  QWidget* WiringPicture(int index) const { return pictures_[static_cast<std::size_t>(index)]; }

  void SetKeyAction(const QString& key, std::function<void()> action);
  // "Memory" found sets: show the logger window, which starts Timer1 again
  // when it closes. Without it the live poll resumes at once.
  std::function<void()> OpenLogger;

  void StopTimer1() { timer1_.stop(); }
  void StartTimer1();
  bool Timer1Active() const { return timer1_.isActive(); }
  QTimer& Timer2() { return timer2_; }

 public slots:
  // One live poll (the handler of Timer1).
  void Timer1Tick();
  // The toolbar's dispatch by Key.
  void RunKey(const QString& key);
  void RtcCommand();
  void MemoryCommand();

 signals:
  void Timer2Tick();
  // A reading reached the labels.
  void ReadingShown();
  // The main window closes: the program ends.
  void Ending();

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  void ShowReading();
  void ShowLinkText(const std::string& text);
  void EndProgram();

  Session& session_;
  Link& link_;
  Dialogs& dialogs_;

  Toolbar* toolbar_ = nullptr;
  std::array<QWidget*, 4> pictures_{};
  std::map<QString, QLabel*> labels_;
  std::map<QString, CaptionPanel*> headers_;
  std::map<QString, std::function<void()>> keyActions_;
  QTimer timer1_;
  QTimer timer2_;
  bool ending_ = false;
  ExchangeGuard::Ticket shutdown_;
};

}  // namespace qelt
