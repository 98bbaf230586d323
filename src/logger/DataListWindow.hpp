#pragma once
// "Data List" (records 1 to 10 000 of a logger set) and "Data List
// (Continued)" (the rest): the record grid with "Save" and "Print", and G2,
// the decoding's progress. The rows come from the LoggerController.
#include "records/RecordListWindow.hpp"
#include "session/RecorderState.hpp"

namespace qelt {

class CaptionPanel;

class DataListWindow : public RecordListWindow {
  Q_OBJECT
 public:
  // continued: DataList1, "Data List (Continued)".
  DataListWindow(bool continued, RecorderState& recorder, Dialogs& dialogs, PanelControl& panel,
                 QWidget* parent = nullptr);

  CaptionPanel& G2() const { return *g2_; }
  // Toolbar "Save": refused while recording, else the save dialog and the file.
  void SaveCommand();

 private:
  RecorderState& recorder_;
  CaptionPanel* g2_ = nullptr;
};

}  // namespace qelt
