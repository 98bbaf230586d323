#include "graphs/RealTimeAllWindow.hpp"

#include <QCloseEvent>

#include "platform/qt/GraphControl.hpp"

namespace qelt {

RealTimeAllWindow::RealTimeAllWindow(Session& session, Dialogs* dialogs, QWidget* parent)
    : QWidget(parent), session_(session) {
  setObjectName("RealTimeAll");
  setWindowTitle("Real Time graph");
  charts_ = BuildChartGrid(*this, dialogs);
  for (GraphControl* chart : charts_) {
    chart->SetAxisRange(1, 0, 300);
    chart->SetAxisRange(2, 0, 10);
    connect(chart, &GraphControl::Clicked, this, &RealTimeAllWindow::ChartClicked);
  }
  move(0, pos().y());
  connect(&timer1_, &QTimer::timeout, this, &RealTimeAllWindow::Tick);
  timer1_.start(FirstGraphInterval);
}

RealTimeAllWindow::~RealTimeAllWindow() {
  // A closed window goes later, maybe after a new one has opened.
  if (!closed_) CloseLiveGraph(session_.Graph);
}

void RealTimeAllWindow::Tick() {
  const int interval = GraphTick(session_.Graph, session_.Live, session_.Recorder.SampleTime, *this);
  timer1_.setInterval(interval);
}

void RealTimeAllWindow::AppendPoints(const LiveValues& values) {
  for (std::size_t i = 0; i < charts_.size(); ++i) charts_[i]->ChartAppend(values[i]);
}

void RealTimeAllWindow::closeEvent(QCloseEvent* event) {
  timer1_.stop();
  if (!closed_) CloseLiveGraph(session_.Graph);
  closed_ = true;
  QWidget::closeEvent(event);
}

}  // namespace qelt
