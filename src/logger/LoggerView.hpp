#pragma once
// What the logger core asks of its windows: the "Data Logger" window and the
// two data lists ("Data List", "Data List (Continued)"). Lists are numbered
// 0 (DataList) and 1 (DataList1).
#include <string>
#include <string_view>
#include <vector>

namespace qelt {

class LoggerView {
 public:
  virtual ~LoggerView() = default;

  // LblRemain, the grid's set rows (TAB-separated) and ComboSet 1..setCount.
  virtual void ShowDirectory(const std::string& remain, const std::vector<std::string>& rows, int setCount) = 0;
  // G1's fill; a negative percent switches it off.
  virtual void SetDownloadFill(int percent) = 0;
  // While a download runs "Read", grid clicks and "Erase" are disabled and
  // "Cancel" is offered.
  virtual void SetDownloading(bool running) = 0;
  // The time the download still needs ("2 min 35 s left"); empty: unknown.
  virtual void SetDownloadTimeLeft(const std::string& text) = 0;
  // The grid cut to its header row.
  virtual void ClearSetRows() = 0;
  // Unloads the logger window (its unload step calls the core's Unload).
  virtual void CloseMemory() = 0;

  virtual void CloseDataLists() = 0;
  // Opens list 0 or 1 empty, with its header row.
  virtual void OpenDataList(int list) = 0;
  virtual bool DataListOpen(int list) const = 0;
  virtual void AddListRow(int list, std::string_view tabRow) = 0;
  // G2 of the list; a negative percent switches the fill off.
  virtual void SetDetailsFill(int list, int percent) = 0;

  // Opens the workbook with the desktop's application; false when none could.
  virtual bool OpenWorkbook(const std::string& path) = 0;
};

}  // namespace qelt
