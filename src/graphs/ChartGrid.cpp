#include "graphs/ChartGrid.hpp"

#include <QEvent>
#include <QFontMetrics>
#include <QWidget>
#include <algorithm>

#include "platform/qt/FollowSize.hpp"
#include "platform/qt/GraphControl.hpp"
#include "platform/qt/TwipsGeometry.hpp"

namespace qelt {

namespace {

// The totals column shows Hz and I4 below the totals.
constexpr std::array<int, 7> TotalsColumn = {23, 24, 25, 26, 27, 21, 22};

QPoint GridCell(int index) {
  if (index < 21) return {index / 7, index % 7};
  for (int row = 0; row < 7; ++row)
    if (TotalsColumn[static_cast<std::size_t>(row)] == index) return {3, row};
  return {3, 0};
}

// As many ticks as there is room for their labels: a small window would
// otherwise print its numbers over each other.
class TickFit : public QObject {
 public:
  explicit TickFit(GraphControl& chart) : QObject(&chart), chart_(chart) { chart.installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &chart_ && event->type() == QEvent::Resize) Fit();
    return false;
  }

 private:
  void Fit() {
    const QFontMetrics metrics(chart_.xAxis->tickLabelFont());
    // "-000.0" is the widest label. The axes run the chart's size less the
    // other axis's labels; the ticker takes its count as a hint and may
    // give half as many again for round steps.
    const int label = metrics.horizontalAdvance("-000.0");
    const int across = chart_.width() - label - 4;
    const int down = chart_.height() - 2 * metrics.height() - 4;
    chart_.xAxis->ticker()->setTickCount(std::clamp(across / std::max(3 * label, 1), 1, 4));
    chart_.yAxis->ticker()->setTickCount(std::clamp(down / std::max(3 * metrics.height(), 1), 1, 4));
  }

  GraphControl& chart_;
};

}  // namespace

ChartArray BuildChartGrid(QWidget& window, Dialogs* dialogs) {
  FixClientSizeTwips(window, 14895, 10920);
  ChartArray charts{};
  QFont small = window.font();
  small.setPointSizeF(7);
  for (int i = 0; i < QuantityCount; ++i) {
    auto* chart = new GraphControl(i, &window);
    chart->SetDialogs(dialogs);
    const QPoint cell = GridCell(i);
    PlaceTwips(*chart, cell.x() * 3720, cell.y() * 1560, 3735, 1575);
    chart->SetAxisCaption(1, QuantityNames[static_cast<std::size_t>(i)]);
    for (QCPAxis* axis : {chart->xAxis, chart->yAxis}) {
      axis->setLabelFont(small);
      axis->setTickLabelFont(small);
      axis->setLabelPadding(0);
      axis->setTickLabelPadding(2);
      axis->ticker()->setTickCount(4);
    }
    new TickFit(*chart);
    chart->axisRect()->setMinimumMargins(QMargins(2, 2, 2, 2));
    chart->setCursor(Qt::PointingHandCursor);
    chart->setToolTip(QString("%1: click to inspect")
                          .arg(QString::fromStdString(QuantityTitle(QuantityNames[static_cast<std::size_t>(i)]))));
    charts[static_cast<std::size_t>(i)] = chart;
  }
  std::vector<std::pair<QWidget*, unsigned>> follow;
  for (GraphControl* chart : charts) follow.emplace_back(chart, Scale);
  FollowClientSize(window, std::move(follow));
  return charts;
}

}  // namespace qelt
