#pragma once
// "Loading Data": the harmonic acquisition window. The signal, the line
// frequency, "OK" and "Print" of the normalised cycle are visible; the other
// lists and the file and print buttons lie outside the client area ("Open"
// and "Save" also on Ctrl+O and Ctrl+S). It opens the waveform and analysis
// views anew after every acquisition or file open. Reused while the program
// runs: closing only hides it.
#include <QPointer>
#include <QWidget>

#include "harmonic/HarmonicLimits.hpp"
#include "harmonic/HarmonicPrints.hpp"
#include "link/Link.hpp"
#include "platform/Dialogs.hpp"
#include "session/PanelControl.hpp"
#include "session/Session.hpp"

class QComboBox;
class QPushButton;
class QAction;

namespace qelt {

class Grid;
class HarmonicWindow;
class StoredSettings;
class WaitInput;
class SignalWindow;

class PreHarmonicWindow : public QWidget {
  Q_OBJECT
 public:
  // Link, session, panel and dialogs outlive the window.
  PreHarmonicWindow(Session& session, Link& link, PanelControl& panel, Dialogs& dialogs, QWidget* parent = nullptr);
  ~PreHarmonicWindow() override;

  // Top left of the screen, header texts and widths, lists filled.
  void Load();
  // The hold of the program's waits: an acquisition lets Escape (which
  // cancels it) and the close of this window through. None: nothing is.
  void SetWaitInput(WaitInput* input) { waitInput_ = input; }

  void OkCommand();
  void OpenCommand();
  void SaveCommand();
  void PrintCommand();    // CmdPrint: Grid
  void PrintKCommand();   // CmPrint: GridK
  void Print64Command();  // CPrint: Grid64

  QComboBox& CmdPhase() const { return *cmdPhase_; }
  QComboBox& CmdHz() const { return *cmdHz_; }
  QComboBox& CmdVI() const { return *cmdVI_; }
  QComboBox& CmdMultiply() const { return *cmdMultiply_; }
  QPushButton& CmdOK() const { return *cmdOK_; }
  QPushButton& CmdPrint() const { return *cmdPrint_; }
  QPushButton& CmdOpen() const { return *cmdOpen_; }
  QPushButton& CmdSave() const { return *cmdSave_; }
  Grid& GridList() const { return *grid_; }
  Grid& Grid54List() const { return *grid54_; }
  Grid& Grid64List() const { return *grid64_; }
  Grid& GridKList() const { return *gridK_; }

  SignalWindow* Signal() const;
  HarmonicWindow* Harmonic() const;

  // The analysis view's "Limits" choice from the settings, written back when
  // the user changes it; settings outlive the window (none: kept for the
  // window's life only).
  void UseSettings(StoredSettings* settings);
  const HarmonicLimitSetting& Limits() const { return limits_; }

  // The lists of the session into the grids.
  void ShowLists();
  void ReopenSignal();
  void ReopenHarmonic();
  void SetAcquiring(bool acquiring);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void FitList();
  void PrintLines(const std::vector<std::string>& lines, bool withDialog);

  Session& session_;
  Link& link_;
  PanelControl& panel_;
  Dialogs& dialogs_;
  WaitInput* waitInput_ = nullptr;
  QComboBox* cmdPhase_;
  QComboBox* cmdHz_;
  QComboBox* cmdVI_;
  QComboBox* cmdMultiply_;
  QPushButton* cmdOK_;
  QPushButton* cmdPrint_;
  QPushButton* cmdOpen_;
  QPushButton* cmdSave_;
  QPushButton* cmPrint_;
  QPushButton* cPrint_;
  QAction* openAction_;
  QAction* saveAction_;
  Grid* grid_;
  Grid* grid54_;
  Grid* grid64_;
  Grid* gridK_;
  QPointer<SignalWindow> signal_;
  QPointer<HarmonicWindow> harmonic_;
  PrinterChoice printer_;  // the last printer chosen; the list prints without a dialog use it
  HarmonicLimitSetting limits_;
  StoredSettings* settings_ = nullptr;
};

}  // namespace qelt
