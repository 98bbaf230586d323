#pragma once
// The window design both graph inspectors share ("Real Time Graph" and
// "Plot"): the large graph, the "Graphic Plot" frame with the range boxes,
// the track modes, the cursor readouts, "Reset Scale" and "Print Graph".
// A snapshot: the data are given once, at opening.
#include <QWidget>
#include <array>

#include "graphs/Inspector.hpp"
#include "platform/Dialogs.hpp"
#include "session/GraphState.hpp"

class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace qelt {

class GraphControl;
class NumberBox;

// Places that differ between the two inspectors (twips).
struct InspectorLayout {
  int ClientWidth = 10560;
  int ClientHeight = 8400;
  int RangeFrameWidth = 3375;
  int TrackFrameLeft = 3840;
  int TrackFrameWidth = 2775;
  int CursorFrameLeft = 6840;
  int CursorFrameWidth = 3255;
  int ResetLeft = 6840;
};

class GraphInspector : public QWidget {
  Q_OBJECT
 public:
  // The load step runs here: the window moves to the left edge, the track
  // modes are filled and "Normal" is selected.
  GraphInspector(const InspectorLayout& layout, GraphState& state, Dialogs& dialogs, QWidget* parent = nullptr);

  // Fills the window from a snapshot and shows it.
  void Open(InspectorSource source);

  GraphControl& Graph() const { return *graph_; }
  // 1 = X, 2 = Y.
  NumberBox& AxisMin(int axis) const { return *axisMin_[axis == 2 ? 1 : 0]; }
  NumberBox& AxisMax(int axis) const { return *axisMax_[axis == 2 ? 1 : 0]; }
  QComboBox& Combo1() const { return *combo1_; }
  QString Description() const;
  QString XPosition() const;
  QString YPosition() const;
  QString Unit() const;
  QString Stats() const;
  QPushButton& CmdReset() const { return *cmdReset_; }
  QPushButton& CmdPrint() const { return *cmdPrint_; }
  QGroupBox& FrmGraphic() const { return *frmGraphic_; }
  const InspectorSource& Source() const { return source_; }

  // A click on Combo1 at a list position.
  void SelectTrackMode(int position);
  void ResetScale();
  // "Print Graph": the printer dialog, then the page image; the window is put
  // back as it was whatever happens.
  void PrintGraph();

 private:
  void BuildControls();
  void RangeBoxChanged();
  void MarkRangeBoxes(NumberBox* changed);
  void FollowGraphRanges();
  void CursorChanged(int cursor, double x, double y);
  void ShowStats();

  InspectorLayout layout_;
  GraphState& state_;
  Dialogs& dialogs_;
  InspectorSource source_;
  GraphControl* graph_ = nullptr;
  QGroupBox* frmGraphic_ = nullptr;
  std::array<NumberBox*, 2> axisMin_{};
  std::array<NumberBox*, 2> axisMax_{};
  QLabel* lblUnit_ = nullptr;
  QComboBox* combo1_ = nullptr;
  QPlainTextEdit* txtDescription_ = nullptr;
  QLabel* xPosition_ = nullptr;
  QLabel* yPosition_ = nullptr;
  QLabel* stats_ = nullptr;
  QPushButton* cmdReset_ = nullptr;
  QPushButton* cmdPrint_ = nullptr;
};

}  // namespace qelt
