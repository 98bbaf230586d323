#include "graphs/GraphInspector.hpp"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include "platform/Twips.hpp"
#include "platform/qt/FollowSize.hpp"
#include "platform/qt/GraphControl.hpp"
#include "platform/qt/NumberBox.hpp"
#include "platform/qt/QtDateTime.hpp"
#include "platform/qt/TwipsGeometry.hpp"
#include "platform/qt/WidgetPrint.hpp"
#include "text/NumberText.hpp"

namespace qelt {

namespace {

QLabel* AddLabel(QWidget& parent, const QString& text, int left, int top, int width, int height,
                 Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter) {
  auto* label = new QLabel(text, &parent);
  label->setAlignment(align);
  PlaceTwips(*label, left, top, width, height);
  return label;
}

QGroupBox* AddFrame(QWidget& parent, const QString& caption, int left, int top, int width, int height) {
  auto* frame = new QGroupBox(caption, &parent);
  PlaceTwips(*frame, left, top, width, height);
  return frame;
}

// Graph and window back as they were, however the print ends.
class PrintArrangement {
 public:
  PrintArrangement(QWidget& window, GraphControl& graph, QWidget& controls)
      : window_(window),
        graph_(graph),
        controls_(controls),
        size_(window.size()),
        minimum_(window.minimumSize()),
        maximum_(window.maximumSize()),
        graphAt_(graph.pos()),
        palette_(window.palette()),
        autoFill_(window.autoFillBackground()),
        plotArea_(graph.PlotAreaColor()),
        controlsShown_(controls.isVisibleTo(&window)) {}
  ~PrintArrangement() {
    window_.setMinimumSize(minimum_);
    window_.setMaximumSize(maximum_);
    window_.resize(size_);
    graph_.move(graphAt_);
    window_.setPalette(palette_);
    window_.setAutoFillBackground(autoFill_);
    controls_.setVisible(controlsShown_);
    graph_.SetPlotAreaColor(plotArea_);
    graph_.replot();
  }
  PrintArrangement(const PrintArrangement&) = delete;
  PrintArrangement& operator=(const PrintArrangement&) = delete;

 private:
  QWidget& window_;
  GraphControl& graph_;
  QWidget& controls_;
  QSize size_;
  QSize minimum_;
  QSize maximum_;
  QPoint graphAt_;
  QPalette palette_;
  bool autoFill_;
  QColor plotArea_;
  bool controlsShown_;
};

}  // namespace

GraphInspector::GraphInspector(const InspectorLayout& layout, GraphState& state, Dialogs& dialogs, QWidget* parent)
    : QWidget(parent), layout_(layout), state_(state), dialogs_(dialogs) {
  FixClientSizeTwips(*this, layout_.ClientWidth, layout_.ClientHeight);
  BuildControls();
  FollowClientSize(*this, {{graph_, GrowBoth}, {frmGraphic_, MoveDown}});
  // Never narrower than the frame of controls, and a graph of some height above it.
  setMinimumSize(frmGraphic_->geometry().right() + 1 + TwipsToPixels(105),
                 frmGraphic_->height() + TwipsToPixels(120 + 2400 + 120 + 105));
  move(0, pos().y());
  for (const TrackMode& mode : TrackModes) combo1_->addItem(mode.Item);
  combo1_->setCurrentIndex(0);
  SelectTrackMode(0);
}

void GraphInspector::BuildControls() {
  graph_ = new GraphControl(0, this);
  graph_->setObjectName("CWGraph1");
  graph_->SetWheelZoom(true);
  graph_->SetDialogs(&dialogs_);
  PlaceTwips(*graph_, 120, 120, 10320, 5280);

  frmGraphic_ = AddFrame(*this, "Graphic Plot", 120, 5520, 10335, 2775);
  frmGraphic_->setObjectName("FrmGraphic");

  QGroupBox* range = AddFrame(*frmGraphic_, "Graph Range", 240, 600, layout_.RangeFrameWidth, 1935);
  AddLabel(*range, "No.s", 120, 480, 1095, 300, Qt::AlignCenter);
  lblUnit_ = AddLabel(*range, {}, 1800, 480, 1095, 300, Qt::AlignCenter);
  AddLabel(*range, "Min", 1230, 840, 555, 375, Qt::AlignCenter);
  AddLabel(*range, "Max", 1230, 1320, 555, 375, Qt::AlignCenter);
  for (int axis = 0; axis < 2; ++axis) {
    const int left = axis == 0 ? 120 : 1800;
    axisMin_[static_cast<std::size_t>(axis)] = new NumberBox(axis + 1, range);
    axisMax_[static_cast<std::size_t>(axis)] = new NumberBox(axis + 1, range);
    axisMin_[static_cast<std::size_t>(axis)]->setObjectName(QString("AxisMin%1").arg(axis + 1));
    axisMax_[static_cast<std::size_t>(axis)]->setObjectName(QString("AxisMax%1").arg(axis + 1));
    PlaceTwips(*axisMin_[static_cast<std::size_t>(axis)], left, 840, 1095, 375);
    PlaceTwips(*axisMax_[static_cast<std::size_t>(axis)], left, 1320, 1095, 375);
  }
  // Sample and record numbers read as whole numbers.
  for (NumberBox* box : {axisMin_[0], axisMax_[0]}) {
    box->SetFormat({});
    box->SetIncrement(1);
  }
  for (NumberBox* box : {axisMin_[0], axisMin_[1], axisMax_[0], axisMax_[1]})
    connect(box, &NumberBox::ValueChanged, this, [this, box] {
      RangeBoxChanged();
      MarkRangeBoxes(box);
    });

  QGroupBox* track = AddFrame(*frmGraphic_, "Track Mode", layout_.TrackFrameLeft, 600, layout_.TrackFrameWidth, 1935);
  combo1_ = new QComboBox(track);
  combo1_->setObjectName("Combo1");
  PlaceTwips(*combo1_, 120, 360, layout_.TrackFrameWidth - 240, 375);
  txtDescription_ = new QPlainTextEdit(track);
  txtDescription_->setObjectName("txtDescription");
  txtDescription_->setReadOnly(true);
  PlaceTwips(*txtDescription_, 120, 840, layout_.TrackFrameWidth - 240, 975);
  connect(combo1_, &QComboBox::activated, this, &GraphInspector::SelectTrackMode);

  QGroupBox* cursor =
      AddFrame(*frmGraphic_, "Cursor Information", layout_.CursorFrameLeft, 600, layout_.CursorFrameWidth, 1455);
  const int readoutLeft = 1500;
  const int readoutWidth = layout_.CursorFrameWidth - readoutLeft - 120;
  AddLabel(*cursor, "No.s ( X ) :", 120, 360, 1380, 300);
  AddLabel(*cursor, "Value ( Y ) :", 120, 720, 1380, 300);
  xPosition_ = AddLabel(*cursor, {}, readoutLeft, 360, readoutWidth, 300);
  yPosition_ = AddLabel(*cursor, {}, readoutLeft, 720, readoutWidth, 300);
  xPosition_->setObjectName("XPosition");
  yPosition_->setObjectName("YPosition");
  stats_ = AddLabel(*cursor, {}, 120, 1080, layout_.CursorFrameWidth - 240, 300);
  stats_->setObjectName("Stats");
  QFont small = stats_->font();
  small.setPointSizeF(small.pointSizeF() * 0.85);
  stats_->setFont(small);
  connect(graph_, &GraphControl::CursorChanged, this, &GraphInspector::CursorChanged);
  connect(graph_, &GraphControl::UserRangeChanged, this, &GraphInspector::FollowGraphRanges);
  connect(graph_, &GraphControl::DoubleClicked, this, [this] { ResetScale(); });

  cmdReset_ = new QPushButton("Reset Scale", frmGraphic_);
  cmdReset_->setObjectName("CmdReset");
  PlaceTwips(*cmdReset_, layout_.ResetLeft, 2160, 1455, 375);
  cmdPrint_ = new QPushButton("Print Graph", frmGraphic_);
  cmdPrint_->setObjectName("CmdPrint");
  PlaceTwips(*cmdPrint_, 8640, 2160, 1455, 375);
  connect(cmdReset_, &QPushButton::clicked, this, &GraphInspector::ResetScale);
  connect(cmdPrint_, &QPushButton::clicked, this, &GraphInspector::PrintGraph);
}

void GraphInspector::Open(InspectorSource source) {
  source_ = std::move(source);
  state_.RangeLoading = true;
  graph_->SetAxisCaption(1, QString::fromStdString(source_.Name));
  AxisMax(1).SetValue(source_.X.Max);
  AxisMin(1).SetValue(source_.X.Min);
  for (NumberBox* box : {&AxisMax(2), &AxisMin(2)}) {
    box->SetFormat(RangeFormat(source_.Index));
    box->SetIncrement(RangeIncrement(source_.Index));
  }
  AxisMax(2).SetValue(source_.Y.Max);
  AxisMin(2).SetValue(source_.Y.Min);
  state_.RangeLoading = false;
  lblUnit_->setText(QString::fromStdString(source_.Name));
  graph_->SetAxisRange(2, source_.Y.Min, source_.Y.Max);
  graph_->SetAxisRange(1, source_.X.Min, source_.X.Max);
  show();
  graph_->PlotY(source_.Values, source_.FirstX, 1);
  ShowStats();
}

QString GraphInspector::Description() const { return txtDescription_->toPlainText(); }
QString GraphInspector::XPosition() const { return xPosition_->text(); }
QString GraphInspector::YPosition() const { return yPosition_->text(); }
QString GraphInspector::Unit() const { return lblUnit_->text(); }
QString GraphInspector::Stats() const { return stats_->text(); }

void GraphInspector::SelectTrackMode(int position) {
  if (position < 0 || position >= static_cast<int>(TrackModes.size())) return;
  const TrackMode& mode = TrackModes[static_cast<std::size_t>(position)];
  graph_->SetTrackMode(mode.Code);
  txtDescription_->setPlainText(mode.Description);
  if (mode.Code == CursorTrackMode) {
    graph_->SetCursorMode(1, 1);
    graph_->SetCursorMode(2, 1);
    graph_->SetCursorVisible(1, true);
    graph_->SetCursorVisible(2, false);
    graph_->SetCursorPosition(1, (graph_->AxisMin(1) + graph_->AxisMax(1)) / 2,
                              (graph_->AxisMin(2) + graph_->AxisMax(2)) / 2);
  } else {
    graph_->SetCursorVisible(1, false);
    graph_->SetCursorVisible(2, false);
    // No cursor, no position.
    xPosition_->clear();
    yPosition_->clear();
  }
}

void GraphInspector::CursorChanged(int cursor, double x, double y) {
  if (cursor != 1) return;
  xPosition_->setText(QString::fromStdString(XReadout(x)));
  yPosition_->setText(QString::fromStdString(YReadout(y, source_.Index)));
}

void GraphInspector::RangeBoxChanged() {
  if (state_.RangeLoading) return;
  // A box whose minimum is not below its maximum leaves its axis as it is.
  graph_->SetAxisRange(1, AxisMin(1).Value(), AxisMax(1).Value());
  graph_->SetAxisRange(2, AxisMin(2).Value(), AxisMax(2).Value());
  ShowStats();
}

void GraphInspector::MarkRangeBoxes(NumberBox* changed) {
  for (int axis = 1; axis <= 2; ++axis) {
    NumberBox& min = AxisMin(axis);
    NumberBox& max = AxisMax(axis);
    const QString problem = QString::fromStdString(RangeProblem(min.Value(), max.Value()));
    if (problem.isEmpty()) {
      min.SetProblem({});
      max.SetProblem({});
    } else if (changed == &min || changed == &max) {
      // The box just changed is the wrong one, until either is mended.
      changed->SetProblem(problem);
      (changed == &min ? max : min).SetProblem({});
    } else if (!min.HasProblem() && !max.HasProblem()) {
      min.SetProblem(problem);
    }
  }
}

void GraphInspector::FollowGraphRanges() {
  state_.RangeLoading = true;
  AxisMin(1).SetValue(graph_->AxisMin(1));
  AxisMax(1).SetValue(graph_->AxisMax(1));
  AxisMin(2).SetValue(graph_->AxisMin(2));
  AxisMax(2).SetValue(graph_->AxisMax(2));
  state_.RangeLoading = false;
  ShowStats();
}

void GraphInspector::ResetScale() {
  AxisMax(1).SetValue(source_.X.Max);
  AxisMin(1).SetValue(source_.X.Min);
  AxisMax(2).SetValue(source_.Y.Max);
  AxisMin(2).SetValue(source_.Y.Min);
  graph_->SetAxisRange(2, source_.Y.Min, source_.Y.Max);
  graph_->SetAxisRange(1, source_.X.Min, source_.X.Max);
  ShowStats();
}

void GraphInspector::ShowStats() {
  const VisibleStats stats = StatsInRange(source_.Values, source_.FirstX, graph_->AxisMin(1), graph_->AxisMax(1));
  if (stats.Count == 0) {
    stats_->clear();
    return;
  }
  const char* format = RangeFormat(source_.Index);
  stats_->setText(QString::fromStdString("Min " + FormatPattern(stats.Min, format) + "   Max " +
                                         FormatPattern(stats.Max, format) + "   Mean " +
                                         FormatPattern(stats.Mean, format)));
}

void GraphInspector::PrintGraph() {
  const auto choice = dialogs_.ChoosePrinter(PrinterChoice{});
  if (!choice) return;
  std::string reason;
  bool printed = false;
  {
    PrintArrangement arrangement(*this, *graph_, *frmGraphic_);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
    setAutoFillBackground(true);
    frmGraphic_->hide();
    graph_->SetPlotAreaColor(Qt::white);
    setFixedSize(TwipsToPixels(11550 - 90), height());
    PlaceTwips(*graph_, 720, 720, 10320, 5280);
    graph_->replot();
    printed = PrintWidgetImage(*this, *choice, reason, InspectorPrintHeading(source_, LocalNow()));
  }
  if (!printed) dialogs_.Message("The printer cannot be used:\r\n" + reason, MessageIcon::Stop);
}

}  // namespace qelt
