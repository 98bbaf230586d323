#include "logger/MemoryWindow.hpp"

#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

#include "platform/qt/CaptionPanel.hpp"
#include "platform/qt/Grid.hpp"
#include "platform/qt/TwipsGeometry.hpp"

namespace qelt {

namespace {
constexpr int ClientWidth = 4455, ClientHeight = 4215;
const char* const Titles[6] = {"Set", " Date", " Time", " Mode", "Rec.s", "Intv."};
const char* const WidthSamples[6] = {"AAAA", "AA/AA/AAAAA", "AA:AA:AAA", "AAAAAAA", "AAAAAAA", "AAAAA"};
}  // namespace

MemoryWindow::MemoryWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("Memory");
  setWindowTitle("Data Logger");
  FixClientSizeTwips(*this, ClientWidth, ClientHeight);

  auto* sizePanel = new CaptionPanel("Memory Size", this);
  sizePanel->setObjectName("SSPanel1");
  PlaceTwips(*sizePanel, 0, 120, 1455, 375);
  auto* lblSize = new QLabel("512 K", this);
  lblSize->setObjectName("LblSize");
  lblSize->setAlignment(Qt::AlignCenter);
  PlaceTwips(*lblSize, 0, 480, 1455, 375);
  auto* remainPanel = new CaptionPanel("Remained", this);
  remainPanel->setObjectName("SSPanel2");
  PlaceTwips(*remainPanel, 1560, 120, 1455, 375);
  lblRemain_ = new QLabel(this);
  lblRemain_->setObjectName("LblRemain");
  lblRemain_->setAlignment(Qt::AlignCenter);
  PlaceTwips(*lblRemain_, 1560, 480, 1455, 375);

  cmdErase_ = new QPushButton("Erase", this);
  cmdErase_->setObjectName("CmdErase");
  PlaceTwips(*cmdErase_, 3120, 120, 1335, 735);
  cmdCancel_ = new QPushButton("Cancel", this);
  cmdCancel_->setObjectName("CmdCancel");
  cmdCancel_->setToolTip("Stop reading the set; nothing of it is kept.");
  PlaceTwips(*cmdCancel_, 3120, 120, 1335, 735);
  cmdCancel_->hide();
  comboSet_ = new QComboBox(this);
  comboSet_->setObjectName("ComboSet");
  PlaceTwips(*comboSet_, 0, 960, 735, 345);
  cmdRead_ = new QPushButton("Read", this);
  cmdRead_->setObjectName("CmdRead");
  PlaceTwips(*cmdRead_, 840, 960, 615, 375);
  g1_ = new CaptionPanel("Recorded Set in Memory", this);
  g1_->setObjectName("G1");
  PlaceTwips(*g1_, 1560, 960, 2895, 375);

  grid_ = new Grid(6, 1, this);
  grid_->setObjectName("Grid");
  PlaceTwips(*grid_, 0, 1440, 4455, 2775);

  // The load: top left corner and the grid's header.
  MoveToCornerOrBesideMain(*this);
  for (int c = 0; c < 6; ++c) {
    grid_->SetColWidthFromSample(c, QString::fromLatin1(WidthSamples[c]));
    grid_->SetTextMatrix(0, c, Titles[c]);
  }
  // As wide as the columns with the scroll bar beside them, so that "Intv."
  // is not behind it once the sets fill the grid.
  int columns = 2 * grid_->frameWidth() + grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid_);
  for (int c = 0; c < 6; ++c) columns += grid_->ColWidth(c);
  if (columns > grid_->width()) {
    const int extra = columns - grid_->width();
    grid_->setFixedWidth(columns);
    setFixedWidth(width() + extra);
  }

  connect(cmdRead_, &QPushButton::clicked, this, [this] { emit ReadClicked(comboSet_->currentText()); });
  connect(cmdErase_, &QPushButton::clicked, this, [this] { emit EraseClicked(); });
  connect(cmdCancel_, &QPushButton::clicked, this, [this] { emit CancelClicked(); });
  connect(grid_, &Grid::Click, this, [this](int row, int) {
    if (!grid_->isEnabled()) return;
    grid_->SetCurrentCell(row, 0);
    emit GridClicked(QString::fromStdString(grid_->Text()));
  });
}

void MemoryWindow::ShowDirectory(const QString& remain, const std::vector<std::string>& rows, int setCount) {
  lblRemain_->setText(remain);
  for (const std::string& row : rows) grid_->AddItem(row);
  comboSet_->clear();
  for (int i = 1; i <= setCount; ++i) comboSet_->addItem(QString::number(i));
  comboSet_->setCurrentIndex(setCount > 0 ? 0 : -1);
}

void MemoryWindow::SetDownloading(bool running) {
  cmdRead_->setEnabled(!running);
  cmdErase_->setEnabled(!running);
  comboSet_->setEnabled(!running);
  grid_->setEnabled(!running);
  cmdErase_->setVisible(!running);
  cmdCancel_->setVisible(running);
  if (running) cmdCancel_->setFocus();
}

void MemoryWindow::SetTimeLeft(const QString& text) { g1_->SetFloodNote(text); }

void MemoryWindow::ClearSetRows() { grid_->SetRows(1); }

void MemoryWindow::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (shown_) return;
  shown_ = true;
  emit FirstShown();
}

void MemoryWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Escape) return QWidget::keyPressEvent(event);
  emit CancelClicked();
}

void MemoryWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  if (unloaded_) return;
  unloaded_ = true;
  emit Unloaded();
}

}  // namespace qelt
