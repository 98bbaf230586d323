#pragma once
// "Harmonic": the figures of the last acquisition or file open, computed once
// when it loads: the chart of the ratios, the selectors of the number of
// orders and of one order, the four large figures and the table of 31 orders.
// "Copy" (Ctrl+C) and "Export..." (CSV) hand the figures on with the magnitudes.
// "Limits" holds the figures against a standard: a mark at each bar's limit,
// the bars over it in the warning colour, the limit and the result of each
// order under the table, and the verdict with the THD against its limit.
#include <QWidget>
#include <array>

#include "harmonic/Figures.hpp"
#include "harmonic/HarmonicLimits.hpp"
#include "platform/Dialogs.hpp"
#include "session/HarmonicState.hpp"

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QScrollArea;
class QLabel;
class QPushButton;

namespace qelt {

class BarChart;
class CaptionPanel;

class HarmonicWindow : public QWidget {
  Q_OBJECT
 public:
  // limits: the choice, read at load and written when the user changes it
  // (then LimitsChanged); it outlives the window.
  HarmonicWindow(const HarmonicState& state, HarmonicLimitSetting& limits, Dialogs& dialogs, QWidget* parent = nullptr);

  // Below the acquisition window, given its frame.
  void Load(const QRect& preHarmonicFrame);

  void ChooseOrders(int n);  // CmdH
  void ChooseOrder(int k);   // CmdK
  void PrintCommand();
  void CopyCommand();
  void ExportCommand();
  // Item of CmdLimits; the ratio of the current table.
  void ChooseLimits(int item, double iscIl);

  QComboBox& CmdH() const { return *cmdH_; }
  QComboBox& CmdK() const { return *cmdK_; }
  QPushButton& CmdPrint() const { return *cmdPrint_; }
  BarChart& Chart() const { return *chart_; }
  CaptionPanel& Panel(int n) const { return *panels_[static_cast<std::size_t>(n - 1)]; }  // G1..G5
  QLabel& LblORD() const { return *lblORD_; }
  QLabel& LblDegree() const { return *lblDegree_; }
  QLabel& LblTHD() const { return *lblTHD_; }
  QLabel& LblTHDR() const { return *lblTHDR_; }
  QComboBox& CmdLimits() const { return *cmdLimits_; }
  QDoubleSpinBox& IscIl() const { return *iscIl_; }
  // "EN 50160: FAIL ..."; hidden without limits.
  QLabel& LblVerdict() const { return *lblVerdict_; }
  const LimitVerdict& Verdict() const { return verdict_; }
  // Row 0 Nos, 1 LDeg, 2 LTF, 3 LTR, 4 LOD, 5 LLim (Limit%), 6 LRes (the
  // result); index 0 the title, h the cell of order h.
  QLabel& TableLabel(int row, int index) const {
    return *table_[static_cast<std::size_t>(row)][static_cast<std::size_t>(index)];
  }
  const HarmonicFigures& Figures() const { return figures_; }
  // The chart's choice: orders 2..N only (off at first).
  QCheckBox& WithoutFundamental() const { return *withoutFundamental_; }
  // The table's cells, sized to their widest text; the area scrolls sideways.
  QScrollArea& TableArea() const { return *tableArea_; }
  int TableCellWidth() const;
  // The chosen frequency against the instrument's reading; empty when they agree.
  QString FrequencyNote() const;
  const std::string& PrintHeading() const { return printHeading_; }

 signals:
  void LimitsChanged();

 private:
  void BuildFigureControls();
  void BuildChart(const HarmonicState& state);
  void BuildLimitControls();
  void BuildTable();
  void BuildActions();
  void SetCell(int row, int h, const std::string& text);
  void LayoutTable();
  void ShowLimits();
  void ShowChartLimits(bool withoutFundamental);

  static constexpr int TableRows = 7;
  static constexpr int TableTop = 4920;  // twips, like the step and the cell height
  static constexpr int TableRowStep = 240;
  static constexpr int TableCellHeight = 255;

  HarmonicLimitSetting& limits_;
  Dialogs& dialogs_;
  HarmonicFigures figures_;
  LimitVerdict verdict_;
  std::string printHeading_;
  QLabel* frequencyNote_;
  std::array<CaptionPanel*, 5> panels_{};
  QComboBox* cmdH_;
  QComboBox* cmdK_;
  QPushButton* cmdPrint_;
  QLabel* lblORD_;
  QLabel* lblDegree_;
  QLabel* lblTHD_;
  QLabel* lblTHDR_;
  BarChart* chart_;
  QCheckBox* withoutFundamental_;
  QScrollArea* tableArea_;
  QComboBox* cmdLimits_;
  QDoubleSpinBox* iscIl_;
  QLabel* lblVerdict_;
  std::array<std::array<QLabel*, 32>, TableRows> table_{};
};

}  // namespace qelt
