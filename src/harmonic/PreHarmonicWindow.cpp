#include "harmonic/PreHarmonicWindow.hpp"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>

#include "harmonic/Analysis.hpp"
#include "harmonic/HarmonicCommands.hpp"
#include "harmonic/HarmonicWindow.hpp"
#include "harmonic/LineFrequency.hpp"
#include "harmonic/SignalWindow.hpp"
#include "platform/Twips.hpp"
#include "platform/qt/CancelPassage.hpp"
#include "platform/qt/Grid.hpp"
#include "platform/qt/QtPrintJob.hpp"
#include "platform/qt/QtWindowSurface.hpp"
#include "platform/qt/StoredSettings.hpp"
#include "platform/qt/TwipsGeometry.hpp"

namespace qelt {
namespace {

// The window as the commands see it; asks through a guarded pointer, since a
// command coming back from a wait may find the window gone.
class WindowView : public PreHarmonicView {
 public:
  explicit WindowView(PreHarmonicWindow* window) : window_(window) {}
  bool Present() override { return window_ && window_->isVisible(); }
  PhaseSelection Selection() override {
    return {window_->CmdPhase().currentText().toStdString(), window_->CmdMultiply().currentText().toStdString(),
            window_->CmdVI().currentText().toStdString()};
  }
  std::string HzText() override { return window_->CmdHz().currentText().toStdString(); }
  void SetAcquiring(bool acquiring) override { window_->SetAcquiring(acquiring); }
  void ShowLists() override { window_->ShowLists(); }
  void ReopenSignal() override { window_->ReopenSignal(); }
  void ReopenHarmonic() override { window_->ReopenHarmonic(); }

 private:
  QPointer<PreHarmonicWindow> window_;
};

QComboBox* DropDown(QWidget* parent, const char* name, std::initializer_list<const char*> items) {
  auto* box = new QComboBox(parent);
  box->setObjectName(name);
  for (const char* item : items) box->addItem(item);
  return box;
}

QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
  auto* button = new QPushButton(caption, parent);
  button->setObjectName(name);
  return button;
}

void Fill(Grid& grid, const GridRows& rows) {
  grid.SetRows(1);
  for (int c = 0; c < rows.Cols(); ++c) grid.SetTextMatrix(0, c, rows.Cell(0, c));
  for (int r = 1; r < rows.Rows(); ++r)
    grid.AddItem(std::string(rows.Cell(r, 0)) + "\t" + std::string(rows.Cell(r, 1)));
}

}  // namespace

PreHarmonicWindow::PreHarmonicWindow(Session& session, Link& link, PanelControl& panel, Dialogs& dialogs,
                                     QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session), link_(link), panel_(panel), dialogs_(dialogs) {
  setObjectName("PreHarmonic");
  setWindowTitle("Loading Data");
  FixClientSizeTwips(*this, 2520, 2985);

  cmdPhase_ = DropDown(this, "CmdPhase", {});
  PlaceTwips(*cmdPhase_, 120, 120, 2295, 315);
  cmdHz_ = DropDown(this, "CmdHz", {});
  PlaceTwips(*cmdHz_, 120, 600, 975, 315);
  cmdOK_ = Button(this, "CmdOK", "OK");
  PlaceTwips(*cmdOK_, 1200, 600, 495, 375);
  cmdPrint_ = Button(this, "CmdPrint", "Print");
  PlaceTwips(*cmdPrint_, 1800, 600, 615, 375);
  grid_ = new Grid(2, 1, this);
  grid_->setObjectName("Grid");
  PlaceTwips(*grid_, 120, 1080, 2295, 1815);

  // Outside the client area, to the right of it.
  cmdVI_ = DropDown(this, "CmdVI", {});
  PlaceTwips(*cmdVI_, 3000, 120, 1200, 315);
  cmdMultiply_ = DropDown(this, "CmdMultiply", {});
  PlaceTwips(*cmdMultiply_, 3000, 600, 1200, 315);
  grid54_ = new Grid(2, 1, this);
  grid54_->setObjectName("Grid54");
  PlaceTwips(*grid54_, 3000, 1080, 1800, 1815);
  grid64_ = new Grid(2, 1, this);
  grid64_->setObjectName("Grid64");
  PlaceTwips(*grid64_, 5000, 1080, 1800, 1815);
  gridK_ = new Grid(2, 1, this);
  gridK_->setObjectName("GridK");
  PlaceTwips(*gridK_, 7000, 1080, 3000, 1815);
  cmdOpen_ = Button(this, "CmdOpen", "Open");
  PlaceTwips(*cmdOpen_, 4400, 120, 615, 375);
  cmdSave_ = Button(this, "CmdSave", "Save");
  PlaceTwips(*cmdSave_, 5100, 120, 615, 375);
  cmPrint_ = Button(this, "CmPrint", "Print");
  PlaceTwips(*cmPrint_, 5800, 120, 615, 375);
  cPrint_ = Button(this, "CPrint", "Print");
  PlaceTwips(*cPrint_, 6500, 120, 615, 375);

  openAction_ = new QAction("Open", this);
  openAction_->setShortcut(QKeySequence::Open);
  saveAction_ = new QAction("Save", this);
  saveAction_->setShortcut(QKeySequence::Save);
  addAction(openAction_);
  addAction(saveAction_);

  connect(cmdOK_, &QPushButton::clicked, this, &PreHarmonicWindow::OkCommand);
  connect(cmdPrint_, &QPushButton::clicked, this, &PreHarmonicWindow::PrintCommand);
  connect(cmdOpen_, &QPushButton::clicked, this, &PreHarmonicWindow::OpenCommand);
  connect(cmdSave_, &QPushButton::clicked, this, &PreHarmonicWindow::SaveCommand);
  connect(cmPrint_, &QPushButton::clicked, this, &PreHarmonicWindow::PrintKCommand);
  connect(cPrint_, &QPushButton::clicked, this, &PreHarmonicWindow::Print64Command);
  connect(openAction_, &QAction::triggered, this, &PreHarmonicWindow::OpenCommand);
  connect(saveAction_, &QAction::triggered, this, &PreHarmonicWindow::SaveCommand);
}

// The waveform and analysis views stay open; they hold what they show.
PreHarmonicWindow::~PreHarmonicWindow() { CancelAcquisition(session_); }

SignalWindow* PreHarmonicWindow::Signal() const { return signal_.data(); }
HarmonicWindow* PreHarmonicWindow::Harmonic() const { return harmonic_.data(); }

void PreHarmonicWindow::Load() {
  MoveToCornerOrBesideMain(*this);
  grid_->SetTextMatrix(0, 0, "No.s");
  grid_->SetColWidthFromSample(0, "AAAAAA");
  grid_->SetTextMatrix(0, 1, "Value");
  grid_->SetColWidthFromSample(1, "AAAAAAAAAAA");
  session_.Harmonic.LastPhase.clear();
  session_.Harmonic.LastMultiply.clear();
  session_.Harmonic.LastVI.clear();
  if (cmdPhase_->count() == 0) {
    for (const char* item : PhaseItems) cmdPhase_->addItem(item);
    cmdHz_->addItems({"60Hz", "50Hz"});
    cmdVI_->addItems({"Voltage", "Current"});
    cmdMultiply_->addItems({"x 4", "x 2", "x 1"});
  }
  // "60Hz" stays the first item; the instrument's own reading picks.
  if (const auto hz = LiveLineHz(session_.Meter, session_.Live))
    cmdHz_->setCurrentText(QString::fromStdString(NearerHzItem(*hz)));
  gridK_->SetTextMatrix(0, 0, "No.s");
  gridK_->SetTextMatrix(0, 1, "Value");
  gridK_->SetColWidthFromSample(0, "AAAAAA");
  gridK_->SetColWidthFromSample(1, QString(29, 'A'));
  if (session_.Harmonic.Grid.Rows() == 0) StartHarmonicLists(session_.Harmonic);
  ShowLists();
  FitList();
}

void PreHarmonicWindow::FitList() {
  // As wide as its two columns and the scroll bar, so that no horizontal bar
  // takes the room of rows; the window widens with it, and may be made taller.
  const int columns = grid_->columnWidth(0) + grid_->columnWidth(1);
  const int wanted = columns + grid_->verticalScrollBar()->sizeHint().width() + 2 * grid_->frameWidth();
  grid_->resize(std::max(TwipsToPixels(2295), wanted), grid_->height());
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  // Wide enough, too, that the window manager shows the whole caption beside
  // its buttons (about 110 pixels of them).
  const int title = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(windowTitle()) + 110;
  const int width = std::max({TwipsToPixels(2520), grid_->geometry().right() + 1 + TwipsToPixels(105), title});
  grid_->resize(width - grid_->x() - TwipsToPixels(105), grid_->height());
  setMinimumSize(width, TwipsToPixels(2985));
  setMaximumSize(width, QWIDGETSIZE_MAX);
  resize(width, height());
}

void PreHarmonicWindow::resizeEvent(QResizeEvent* event) {
  // The list takes the height the user gives the window.
  grid_->resize(grid_->width(), std::max(TwipsToPixels(1815), height() - grid_->y() - TwipsToPixels(90)));
  QWidget::resizeEvent(event);
}

void PreHarmonicWindow::ShowLists() {
  const HarmonicState& s = session_.Harmonic;
  Fill(*grid_, s.Grid);
  Fill(*grid54_, s.Grid54);
  Fill(*grid64_, s.Grid64);
  Fill(*gridK_, s.GridK);
}

void PreHarmonicWindow::SetAcquiring(bool acquiring) {
  for (QWidget* w : std::initializer_list<QWidget*>{cmdOpen_, cmdSave_, cmdPrint_, cmPrint_, cPrint_})
    w->setEnabled(!acquiring);
  openAction_->setEnabled(!acquiring);
  saveAction_->setEnabled(!acquiring);
}

void PreHarmonicWindow::ReopenSignal() {
  if (signal_) {
    signal_->close();
    signal_->deleteLater();
  }
  signal_ = new SignalWindow(CycleTexts(session_.Harmonic), dialogs_);
  signal_->setAttribute(Qt::WA_DeleteOnClose);
  signal_->SetPrintHeading(AnalysisHeading(session_.Harmonic));
  signal_->Load(frameGeometry());
  signal_->show();
}

void PreHarmonicWindow::ReopenHarmonic() {
  if (harmonic_) {
    harmonic_->close();
    harmonic_->deleteLater();
  }
  harmonic_ = new HarmonicWindow(session_.Harmonic, limits_, dialogs_);
  harmonic_->setAttribute(Qt::WA_DeleteOnClose);
  connect(harmonic_, &HarmonicWindow::LimitsChanged, this, [this] {
    if (settings_) settings_->SetHarmonicLimits(limits_.Item, limits_.IscIl);
  });
  harmonic_->Load(frameGeometry());
  harmonic_->show();
}

void PreHarmonicWindow::UseSettings(StoredSettings* settings) {
  settings_ = settings;
  if (!settings_) return;
  if (const auto item = settings_->HarmonicLimitsItem()) limits_.Item = *item;
  if (const auto ratio = settings_->HarmonicIscIl()) limits_.IscIl = *ratio;
}

void PreHarmonicWindow::OkCommand() {
  WindowView view(this);
  CancelPassage passage(waitInput_, *this, nullptr);
  RunAcquisition(link_, session_, panel_, dialogs_, view);
}

void PreHarmonicWindow::OpenCommand() {
  if (session_.Harmonic.Busy) return;
  WindowView view(this);
  RunOpen(link_, session_, panel_, dialogs_, view);
}

void PreHarmonicWindow::SaveCommand() {
  if (session_.Harmonic.Busy) return;
  QtWindowSurface surface(this);
  RunSave(session_, dialogs_, surface);
}

void PreHarmonicWindow::PrintLines(const std::vector<std::string>& lines, bool withDialog) {
  if (session_.Harmonic.Busy) return;
  QPointer<PreHarmonicWindow> self(this);
  QtPrintJob job(CyclePrintFont, CyclePrintPoints);
  PrinterChoice last = printer_;
  PrinterChoice chosen;
  QtWindowSurface surface(this);
  HarmonicPrintOutcome outcome =
      PrintHarmonicLines(lines, job, dialogs_, withDialog ? nullptr : &last, surface, panel_, &chosen);
  if (self && withDialog && outcome != HarmonicPrintOutcome::Cancelled) self->printer_ = chosen;
}

void PreHarmonicWindow::PrintCommand() { PrintLines(CyclePrintLines(session_.Harmonic.Grid), true); }
void PreHarmonicWindow::PrintKCommand() { PrintLines(ListPrintLines(session_.Harmonic.GridK), false); }
void PreHarmonicWindow::Print64Command() { PrintLines(ListPrintLines(session_.Harmonic.Grid64), false); }

void PreHarmonicWindow::keyPressEvent(QKeyEvent* event) {
  // Escape stops a running acquisition; the window stays.
  if (event->key() == Qt::Key_Escape && session_.Harmonic.Busy) return CancelAcquisition(session_);
  QWidget::keyPressEvent(event);
}

void PreHarmonicWindow::closeEvent(QCloseEvent* event) {
  // An acquisition in progress ends at its next wait; the live poll resumes.
  CancelAcquisition(session_);
  SetAcquiring(false);  // the ended acquisition no longer reaches a closed window
  panel_.StartTimer1();
  QWidget::closeEvent(event);
}

}  // namespace qelt
