#pragma once
// "Real Time graph": a strip chart per quantity, fed from the live reading
// and stored in the history at every tick of Timer1 (first after 1000 ms,
// then every SampleTime seconds). Closing it clears GraphOpen and nothing else.
#include <QTimer>
#include <QWidget>

#include "graphs/ChartGrid.hpp"
#include "graphs/LiveGraph.hpp"
#include "session/Session.hpp"

namespace qelt {

class RealTimeAllWindow : public QWidget, public LiveChartsView {
  Q_OBJECT
 public:
  // The window loads here: to the left edge, Timer1 started. GraphOpen and
  // GraphCount were set by whoever opens it.
  explicit RealTimeAllWindow(Session& session, Dialogs* dialogs = nullptr, QWidget* parent = nullptr);
  ~RealTimeAllWindow() override;

  GraphControl& Chart(int index) const { return *charts_[static_cast<std::size_t>(index)]; }
  QTimer& Timer1() { return timer1_; }

  // The handler of Timer1.
  void Tick();
  void AppendPoints(const LiveValues& values) override;

 signals:
  // A click on chart index.
  void ChartClicked(int index);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  Session& session_;
  ChartArray charts_{};
  QTimer timer1_;
  bool closed_ = false;
};

}  // namespace qelt
