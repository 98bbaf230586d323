#include "harmonic/HarmonicWindow.hpp"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <algorithm>

#include "harmonic/Analysis.hpp"
#include "harmonic/LineFrequency.hpp"
#include "platform/Twips.hpp"
#include "platform/qt/BarChart.hpp"
#include "platform/qt/CaptionPanel.hpp"
#include "platform/qt/TwipsGeometry.hpp"
#include "platform/qt/WidgetPrint.hpp"

namespace qelt {
namespace {

constexpr const char* ThdFTip =
    "THD-F: the root of the sum of the squared magnitudes of orders 2 to N, "
    "in percent of the magnitude of order 1";
constexpr const char* ThdRTip =
    "THD-R: the root of the sum of the squared magnitudes of orders 2 to N, "
    "in percent of the root of the sum of the squares of orders 1 to N";

QLabel* ValueLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel("100.00", parent);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignCenter);
  label->setAutoFillBackground(true);
  QFont font = label->font();
  font.setPointSize(14);
  font.setBold(true);
  label->setFont(font);
  return label;
}

QString Text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

HarmonicWindow::HarmonicWindow(const HarmonicState& state, HarmonicLimitSetting& limits, Dialogs& dialogs,
                               QWidget* parent)
    : QWidget(parent, Qt::Window),
      limits_(limits),
      dialogs_(dialogs),
      figures_(ComputeFigures(state)),
      printHeading_(AnalysisHeading(state)) {
  setObjectName("Harmonic");
  setWindowTitle("Harmonic");
  setAutoFillBackground(true);
  FixClientSizeTwips(*this, 14025, 6225);
  BuildFigureControls();
  BuildChart(state);
  BuildLimitControls();
  BuildTable();
  BuildActions();
}

void HarmonicWindow::BuildFigureControls() {
  const char* captions[5] = {"Harmonics", "ORD %", "Phase Angle", "THD-F %", "THD-R %"};
  const int panelTops[5] = {0, 840, 1680, 2760, 3840};
  for (int i = 0; i < 5; ++i) {
    auto* panel = new CaptionPanel(captions[i], this);
    panel->setObjectName(QString("G%1").arg(i + 1));
    panel->setAutoFillBackground(true);
    QFont panelFont = panel->font();
    panelFont.setPointSizeF(8);
    panel->setFont(panelFont);
    PlaceTwips(*panel, 120, panelTops[i], i == 0 ? 975 : 1695, 375);
    panels_[static_cast<std::size_t>(i)] = panel;
  }
  panels_[3]->setToolTip(ThdFTip);
  panels_[4]->setToolTip(ThdRTip);

  cmdH_ = new QComboBox(this);
  cmdH_->setObjectName("CmdH");
  PlaceTwips(*cmdH_, 120, 360, 975, 315);
  cmdK_ = new QComboBox(this);
  cmdK_->setObjectName("CmdK");
  PlaceTwips(*cmdK_, 120, 1200, 615, 315);
  cmdPrint_ = new QPushButton("Print", this);
  cmdPrint_->setObjectName("CmdPrint");
  PlaceTwips(*cmdPrint_, 1200, 0, 615, 735);

  lblORD_ = ValueLabel(this, "LblORD");
  PlaceTwips(*lblORD_, 720, 1200, 1095, 375);
  lblDegree_ = ValueLabel(this, "LblDegree");
  PlaceTwips(*lblDegree_, 120, 2040, 1695, 615);
  lblTHD_ = ValueLabel(this, "LblTHD");
  PlaceTwips(*lblTHD_, 120, 3120, 1695, 615);
  lblTHD_->setToolTip(ThdFTip);
  lblTHDR_ = ValueLabel(this, "LblTHDR");
  PlaceTwips(*lblTHDR_, 120, 4200, 1695, 615);
  lblTHDR_->setToolTip(ThdRTip);
}

void HarmonicWindow::BuildChart(const HarmonicState& state) {
  chart_ = new BarChart(this);
  chart_->setObjectName("Chart");
  PlaceTwips(*chart_, 1920, 0, 12015, 4815);

  withoutFundamental_ = new QCheckBox("Without the fundamental", this);
  withoutFundamental_->setObjectName("ChkWithoutFundamental");
  withoutFundamental_->setToolTip("Orders 2 to N only, the axis scaled to the largest of them (in % of K1)");
  // Beside the result: a frequency that does not match the instrument's.
  frequencyNote_ = new QLabel(QString::fromStdString(state.FrequencyNote), this);
  frequencyNote_->setObjectName("LblFrequencyNote");
  QPalette notePalette = frequencyNote_->palette();
  notePalette.setColor(QPalette::WindowText, QColor(0xc0, 0x10, 0x10));
  frequencyNote_->setPalette(notePalette);
  QFont noteFont = frequencyNote_->font();
  noteFont.setBold(true);
  frequencyNote_->setFont(noteFont);
  frequencyNote_->setVisible(!state.FrequencyNote.empty());
  chart_->AddOption(frequencyNote_);
  chart_->AddOption(withoutFundamental_);
}

void HarmonicWindow::BuildLimitControls() {
  // Over the plot's top right corner, where the orders above the first few are low.
  lblVerdict_ = new QLabel(chart_);
  lblVerdict_->setObjectName("LblVerdict");
  QFont verdictFont = lblVerdict_->font();
  verdictFont.setBold(true);
  lblVerdict_->setFont(verdictFont);
  lblVerdict_->setAlignment(Qt::AlignRight | Qt::AlignTop);
  lblVerdict_->setAutoFillBackground(true);
  PlaceTwips(*lblVerdict_, 12015 - 5700, 570, 5400, 780);
  lblVerdict_->hide();

  auto* caption = new QLabel("Limits", this);
  cmdLimits_ = new QComboBox(this);
  cmdLimits_->setObjectName("CmdLimits");
  cmdLimits_->addItems({"None", "EN 50160", "IEEE 519 voltage", "IEEE 519 current"});
  cmdLimits_->setToolTip("The limits of a standard, in % of the fundamental, drawn over the bars");
  auto* ratioCaption = new QLabel("ISC/IL", this);
  iscIl_ = new QDoubleSpinBox(this);
  iscIl_->setObjectName("SpinIscIl");
  iscIl_->setRange(0.1, 100000);
  iscIl_->setDecimals(1);
  iscIl_->setToolTip("Short-circuit current over the maximum load current at the point of connection");
  for (QWidget* w : {static_cast<QWidget*>(caption), static_cast<QWidget*>(cmdLimits_),
                     static_cast<QWidget*>(ratioCaption), static_cast<QWidget*>(iscIl_)})
    chart_->AddOption(w);
}

void HarmonicWindow::BuildTable() {
  // The cells take the width of their texts (set at load); the row scrolls
  // sideways when the 31 of them do not fit.
  tableArea_ = new QScrollArea(this);
  tableArea_->setObjectName("TableArea");
  tableArea_->setFrameShape(QFrame::NoFrame);
  tableArea_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  tableArea_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  tableArea_->setWidgetResizable(false);
  auto* cells = new QWidget;
  cells->setObjectName("TableCells");
  tableArea_->setWidget(cells);

  const char* rowNames[TableRows] = {"Nos", "LDeg", "LTF", "LTR", "LOD", "LLim", "LRes"};
  const char* titles[TableRows] = {"", "Degree", "THD-F%", "THD-R%", "ORD%", "Limit%", "Result"};
  for (int row = 0; row < TableRows; ++row) {
    for (int h = 0; h <= HighestOrder; ++h) {
      auto* label = new QLabel(h == 0 ? static_cast<QWidget*>(this) : cells);
      label->setObjectName(QString("%1%2").arg(rowNames[row]).arg(h));
      if (h == 0) {
        label->setText(titles[row]);
        PlaceTwips(*label, 120, TableTop + row * TableRowStep, 735, TableCellHeight);
      } else {
        label->setAlignment(Qt::AlignCenter);
        label->setAutoFillBackground(true);
        QPalette p = label->palette();
        p.setColor(QPalette::Window, Qt::white);
        label->setPalette(p);
        QFont font = label->font();
        font.setPointSizeF(8);
        label->setFont(font);
      }
      table_[static_cast<std::size_t>(row)][static_cast<std::size_t>(h)] = label;
    }
  }
  LayoutTable();
  table_[2][0]->setToolTip(ThdFTip);
  table_[3][0]->setToolTip(ThdRTip);
}

void HarmonicWindow::BuildActions() {
  auto* copy = new QAction("Copy", this);
  copy->setShortcut(QKeySequence::Copy);
  auto* exportAction = new QAction("Export...", this);
  addAction(copy);
  addAction(exportAction);
  setContextMenuPolicy(Qt::ActionsContextMenu);
  connect(copy, &QAction::triggered, this, &HarmonicWindow::CopyCommand);
  connect(exportAction, &QAction::triggered, this, &HarmonicWindow::ExportCommand);
  connect(cmdPrint_, &QPushButton::clicked, this, &HarmonicWindow::PrintCommand);
  connect(cmdH_, &QComboBox::activated, this, [this](int index) { ChooseOrders(index + 1); });
  connect(cmdK_, &QComboBox::activated, this, [this](int index) { ChooseOrder(index + 1); });
  connect(withoutFundamental_, &QCheckBox::toggled, this, [this] { ChooseOrders(cmdH_->currentIndex() + 1); });
  connect(cmdLimits_, &QComboBox::activated, this, [this](int item) { ChooseLimits(item, iscIl_->value()); });
  connect(iscIl_, &QDoubleSpinBox::editingFinished, this,
          [this] { ChooseLimits(cmdLimits_->currentIndex(), iscIl_->value()); });
}

void HarmonicWindow::LayoutTable() {
  // As wide as the widest text of the table, never narrower than designed.
  int widest = 0;
  for (int row = 0; row < TableRows; ++row)
    for (int h = 1; h <= HighestOrder; ++h) {
      const QLabel& cell = TableLabel(row, h);
      widest = std::max(widest, cell.fontMetrics().horizontalAdvance(cell.text()));
    }
  const int width = std::max(TwipsToPixels(435), widest + 8);
  const int step = width - (TwipsToPixels(435) - TwipsToPixels(420));
  const int rowStep = TwipsToPixels(TableRowStep);
  const int height = TwipsToPixels(TableCellHeight);
  for (int row = 0; row < TableRows; ++row)
    for (int h = 1; h <= HighestOrder; ++h)
      TableLabel(row, h).setGeometry((h - 1) * step, row * rowStep, width, height);
  QWidget* cells = tableArea_->widget();
  cells->resize((HighestOrder - 1) * step + width, (TableRows - 1) * rowStep + height);

  // From the first cell to the chart's right edge; the window grows by the
  // scroll bar when one is needed.
  const int left = TwipsToPixels(840);
  const int room = TwipsToPixels(1920 + 12015) - left;
  const bool scrolls = cells->width() > room;
  const int bar = scrolls ? tableArea_->horizontalScrollBar()->sizeHint().height() : 0;
  tableArea_->setGeometry(left, TwipsToPixels(TableTop), room, cells->height() + bar);
  // The two rows of the limits below the designed five.
  setFixedSize(TwipsToPixels(14025), TwipsToPixels(6225 + 2 * TableRowStep) + bar);
}

QString HarmonicWindow::FrequencyNote() const { return frequencyNote_->text(); }

int HarmonicWindow::TableCellWidth() const { return TableLabel(0, 1).width(); }

void HarmonicWindow::SetCell(int row, int h, const std::string& text) { TableLabel(row, h).setText(Text(text)); }

void HarmonicWindow::Load(const QRect& preHarmonicFrame) {
  move(preHarmonicFrame.left(), preHarmonicFrame.top() + preHarmonicFrame.height());
  for (int h = 1; h <= HighestOrder; ++h) {
    cmdH_->addItem(QString::number(h));
    cmdK_->addItem(QString::number(h));
  }
  cmdH_->setCurrentIndex(HighestOrder - 1);
  cmdK_->setCurrentIndex(0);
  OrdersView all = qelt::ChooseOrders(figures_, HighestOrder);
  QStringList labels;
  for (const auto& l : all.Labels) labels << Text(l);
  chart_->SetCategories(labels, all.Values);

  const auto at = [](int h) { return static_cast<std::size_t>(h); };
  lblORD_->setText(Text(figures_.OrdText[1]));
  lblDegree_->setText(Text(figures_.PhaseText[1]));
  lblTHD_->setText(Text(figures_.ThdFText[HighestOrder]));
  lblTHDR_->setText(Text(figures_.ThdRText[HighestOrder]));
  for (int h = 1; h <= HighestOrder; ++h) {
    SetCell(0, h, std::to_string(h));
    SetCell(1, h, figures_.PhaseText[at(h)]);
    SetCell(2, h, figures_.ThdFText[at(h)]);
    SetCell(3, h, figures_.ThdRText[at(h)]);
    SetCell(4, h, h == 1 ? "100" : figures_.OrdText[at(h)]);
  }
  cmdLimits_->setCurrentIndex(std::clamp(limits_.Item, 0, cmdLimits_->count() - 1));
  iscIl_->setValue(limits_.IscIl);
  ShowLimits();
  LayoutTable();
}

void HarmonicWindow::ChooseLimits(int item, double iscIl) {
  if (item == limits_.Item && iscIl == limits_.IscIl) return;
  limits_.Item = item;
  limits_.IscIl = iscIl;
  if (cmdLimits_->currentIndex() != item) cmdLimits_->setCurrentIndex(item);
  if (iscIl_->value() != iscIl) iscIl_->setValue(iscIl);
  ShowLimits();
  emit LimitsChanged();
}

void HarmonicWindow::ShowLimits() {
  verdict_ = JudgeFigures(figures_, ChoiceOfItem(limits_.Item, limits_.IscIl));
  const bool none = verdict_.Choice.Standard == LimitStandard::None;
  iscIl_->setEnabled(limits_.Item == 3);
  std::string over;
  for (int h = 2; h <= HighestOrder; ++h) {
    const OrderVerdict& order = verdict_.Orders[static_cast<std::size_t>(h)];
    SetCell(5, h, none ? "" : LimitText(order.Limit));
    SetCell(6, h, none ? "" : PassWord(order.Pass));
    QLabel& result = TableLabel(6, h);
    QPalette p = result.palette();
    p.setColor(QPalette::Window, order.Pass == false ? BarChart::WarningColour().lighter(170) : QColor(Qt::white));
    result.setPalette(p);
    if (order.Pass == false) over += (over.empty() ? "K" : ", K") + std::to_string(h);
  }
  SetCell(5, 1, "");
  SetCell(6, 1, "");
  const std::string thd = std::string(IsCurrentTable(verdict_.Choice) ? "TDD " : "THD-F ") + verdict_.ThdText +
                          " % (limit " + LimitText(verdict_.ThdLimit) + " %): " + PassWord(verdict_.ThdPass);
  lblVerdict_->setText(Text(ChoiceTitle(verdict_.Choice) + ": " + (verdict_.Pass ? "PASS" : "FAIL") + "\n" + thd +
                            "\n" + (over.empty() ? "Every order within its limit" : "Over the limit: " + over)));
  QPalette p = lblVerdict_->palette();
  p.setColor(QPalette::Window, Qt::white);
  p.setColor(QPalette::WindowText, verdict_.Pass ? QColor(0, 110, 40) : BarChart::WarningColour());
  lblVerdict_->setPalette(p);
  lblVerdict_->setVisible(!none);
  ShowChartLimits(withoutFundamental_->isChecked());
}

// The chart's bars are orders 1..N, or 2..N without the fundamental.
void HarmonicWindow::ShowChartLimits(bool withoutFundamental) {
  std::vector<BarChart::BarLimit> limits;
  const int first = withoutFundamental ? 2 : 1;
  for (int h = first; h < first + chart_->Count(); ++h) {
    if (h < 2 || h > HighestOrder) {
      limits.push_back({});
      continue;
    }
    const OrderVerdict& order = verdict_.Orders[static_cast<std::size_t>(h)];
    limits.push_back({order.Limit, order.Pass == false});
  }
  chart_->SetLimits(limits);
}

void HarmonicWindow::ChooseOrders(int n) {
  OrdersView view = qelt::ChooseOrders(figures_, n);
  const bool without = withoutFundamental_->isChecked();
  if (without) view = qelt::WithoutFundamental(view);
  chart_->SetValueAxisLabel(without ? "% of K1" : "%");
  QStringList labels;
  for (const auto& l : view.Labels) labels << Text(l);
  chart_->SetCategories(labels, view.Values);
  lblTHD_->setText(Text(view.Thd));
  lblTHDR_->setText(Text(view.Thdr));
  ShowChartLimits(without);
}

void HarmonicWindow::ChooseOrder(int k) {
  OrderView view = qelt::ChooseOrder(figures_, k);
  lblORD_->setText(Text(view.Ord));
  lblDegree_->setText(Text(view.Degree));
}

void HarmonicWindow::PrintCommand() {
  auto choice = dialogs_.ChoosePrinter(PrinterChoice{});
  if (!choice) return;

  // Printing colours, put back however the print ends.
  struct Restore {
    HarmonicWindow& w;
    QPalette window, panel, label;
    ~Restore() {
      w.setPalette(window);
      for (int n = 1; n <= 5; ++n) w.Panel(n).setPalette(panel);
      w.CmdPrint().show();
      for (QLabel* l : {&w.LblORD(), &w.LblDegree(), &w.LblTHD(), &w.LblTHDR()}) l->setPalette(label);
      QApplication::restoreOverrideCursor();
    }
  } restore{*this, palette(), Panel(1).palette(), lblTHD_->palette()};
  QApplication::setOverrideCursor(Qt::WaitCursor);

  const QColor back = QApplication::palette().color(QPalette::HighlightedText);
  const QColor text = QApplication::palette().color(QPalette::WindowText);
  auto printing = [&](QWidget& widget) {
    QPalette p = widget.palette();
    p.setColor(QPalette::Window, back);
    p.setColor(QPalette::WindowText, text);
    widget.setPalette(p);
  };
  for (int n = 1; n <= 5; ++n) printing(Panel(n));
  cmdPrint_->hide();
  for (QLabel* l : {lblORD_, lblDegree_, lblTHD_, lblTHDR_}) printing(*l);
  QPalette windowPalette = palette();
  windowPalette.setColor(QPalette::Window, back);
  setPalette(windowPalette);

  std::string reason;
  if (!PrintWidgetImage(*this, *choice, reason, printHeading_)) {
    QApplication::restoreOverrideCursor();
    dialogs_.Message("The printer cannot be used:\r\n" + reason, MessageIcon::Stop);
    QApplication::setOverrideCursor(Qt::WaitCursor);  // balanced by the restore
  }
}

void HarmonicWindow::CopyCommand() { QApplication::clipboard()->setText(Text(FiguresTable(figures_, '\t', "\n"))); }

void HarmonicWindow::ExportCommand() {
  FileRequest request;
  request.Title = "Export";
  request.Filter = "CSV Files (*.csv)|*.csv|All Files (*.*)|*.*|";
  request.OverwritePrompt = true;
  request.InitialPath = "Harmonic.csv";
  auto choice = dialogs_.SaveFile(request);
  if (!choice || choice->Path.empty()) return;
  QFile file(QString::fromStdString(choice->Path));
  const std::string csv = FiguresTable(figures_, ',', "\r\n");
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
      file.write(csv.data(), static_cast<qint64>(csv.size())) != static_cast<qint64>(csv.size()) || !file.flush())
    dialogs_.Message("The file cannot be written:\r\n" + choice->Path + "\r\n" + file.errorString().toStdString(),
                     MessageIcon::Stop);
}

}  // namespace qelt
