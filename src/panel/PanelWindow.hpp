#pragma once
// "Panel": the main window. It owns the two timers, shows the live readings
// and the link state, and starts every other function from its toolbar.
//
// The program attaches the other subsystems to it without reaching inside:
//  - the *Wanted signals: a toolbar button other than "RTC" and "Memory"
//    (the window's own) was clicked;
//  - Timer2Tick(): the 1000 ms sampling tick;
//  - the PanelControl side (Timer1 around other exchanges) and the
//    RecorderView side (the recording status controls);
//  - LoggerSetsFound: "Memory" found sets in the directory;
//  - Ending(): the program ends (close other windows, close files).
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <array>
#include <functional>

#include "link/Link.hpp"
#include "panel/PanelLayout.hpp"
#include "platform/Dialogs.hpp"
#include "recorder/PcSampling.hpp"
#include "session/PanelControl.hpp"
#include "session/Session.hpp"

class QLabel;
class QScrollArea;

namespace qelt {

class CaptionPanel;
class Toolbar;

class PanelWindow : public QWidget, public PanelControl, public RecorderView, private LinkTextSink {
  Q_OBJECT
 public:
  // The port was opened by the port window; link and session outlive the window.
  PanelWindow(Session& session, Link& link, Dialogs& dialogs, QWidget* parent = nullptr);
  ~PanelWindow() override;

  // The load sequence: CosTable, place, port and LblCOM, "E", Recording
  // cleared, SampleTime 2, logger caches, Timer2 and Timer1. Call once, after
  // attaching the other subsystems.
  void Load();

  Toolbar& Toolbar1() const { return *toolbar_; }
  // The value label of a quantity (QuantityIndex 0..27).
  QLabel* ValueLabel(int quantityIndex) const { return valueLabels_.at(static_cast<std::size_t>(quantityIndex)); }
  // The header panel above that value label.
  CaptionPanel* Header(int quantityIndex) const { return headers_.at(static_cast<std::size_t>(quantityIndex)); }
  QLabel* StatusLabel(PanelStatus field) const { return statusLabels_.at(static_cast<std::size_t>(field)); }
  // P1P2W, P1P3W, P3P3W2M, P3P4W (index 0..3).
  QWidget* WiringPicture(int index) const { return pictures_[static_cast<std::size_t>(index)]; }

  bool Timer1Active() const override { return timer1_.isActive(); }
  void ShowPollPaused(const std::string& why) override;
  // The reason the readings stand still (a logger download); empty when they run.
  const std::string& PollPausedReason() const { return pausedWhy_; }
  // "No COM": the instrument does not answer and the labels show old values.
  bool LinkLostShown() const { return linkLost_; }
  QTimer& Timer2() { return timer2_; }
  // A text over the status row for a few seconds ("Clock set to ...").
  void ShowStatusNote(const std::string& text);
  QLabel& StatusNote() const { return *lblNote_; }

  // RecorderView
  void SetFileNameLabel(const std::string& text) override;
  void SetCountLabel(const std::string& text) override;
  void SetRecLabel(const std::string& text) override;
  void SetRecLabelVisible(bool visible) override;
  void SetRecordingButton(bool recording) override;
  ValueTexts ValueLabelTexts() const override;

  // What a click on a toolbar button does.
  void RunKey(PanelKey key);

 public slots:
  // One live poll (the handler of Timer1).
  void Timer1Tick();
  void RtcCommand();
  void MemoryCommand();

 signals:
  void Timer2Tick();
  // "Memory" found sets: the receiver shows the logger window, which starts
  // Timer1 again when it closes. With no receiver the live poll resumes at once.
  void LoggerSetsFound();
  // A reading reached the labels.
  void ReadingShown();
  // The main window closes: the program ends.
  void Ending();
  // The toolbar's commands that other subsystems carry out.
  void SaveWanted();
  void OpenWanted();
  void ListWanted();
  void GraphWanted();
  void SamplingWanted();
  void HarmonicWanted();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void StopPoll() override;
  void StartPoll() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildControls();
  // The first size where the screen has the room, else as much as it has.
  void FitScreen();
  void ShowReading();
  void ShowLinkText(const std::string& text);
  void LinkTextChanged(const std::string& text) override { ShowLinkText(text); }
  void ShowLinkLost(bool lost);
  // Values dimmed while the instrument is away or the poll is paused.
  void ShowValuesDimmed();
  void EndProgram();

  Session& session_;
  Link& link_;
  Dialogs& dialogs_;

  QScrollArea* scroll_ = nullptr;
  QWidget* page_ = nullptr;  // the controls, at the first size
  Toolbar* toolbar_ = nullptr;
  std::array<QWidget*, 4> pictures_{};
  std::array<QLabel*, QuantityCount> valueLabels_{};
  std::array<CaptionPanel*, QuantityCount> headers_{};
  std::array<QLabel*, PanelStatusCount> statusLabels_{};
  QLabel* lblRec_ = nullptr;
  QLabel* lblCount_ = nullptr;
  QLabel* lblFileName_ = nullptr;
  QLabel* lblCom_ = nullptr;
  QLabel* lblNote_ = nullptr;
  QTimer noteTimer_;
  QTimer timer1_;
  QTimer timer2_;
  bool ending_ = false;
  bool linkLost_ = false;
  std::string pausedWhy_;
  bool dimmed_ = false;
  ExchangeGuard::Ticket shutdown_;
};

}  // namespace qelt
