#pragma once
// The export sheet of a logger set: an .xlsx workbook written row by row in
// constant memory (a row, once written, cannot be changed). Row 1 holds the
// headers, record r (from 0) is row r + 2.
#include <array>
#include <string>

#include "logger/RecordDecoder.hpp"

struct lxw_format;
struct lxw_workbook;
struct lxw_worksheet;

namespace qelt {

class WorkbookExport {
 public:
  WorkbookExport() = default;
  ~WorkbookExport();
  WorkbookExport(const WorkbookExport&) = delete;
  WorkbookExport& operator=(const WorkbookExport&) = delete;

  // Creates the workbook (its folder too) and writes the header row. On
  // failure Error() says why and nothing more is written.
  bool StartExport(const std::string& path);
  // Writes record r (from 0). Ignored once a write failed.
  bool ExportRow(int r, const std::array<SheetCell, ListColumns>& cells);
  // Writes the file out. False, with Error(), when it could not be written.
  bool Finish();
  // Drops the workbook and removes what was written of it.
  void Abandon();

  const std::string& Error() const { return error_; }
  const std::string& Path() const { return path_; }
  bool Ok() const { return error_.empty(); }

 private:
  void Fail(const std::string& reason);
  lxw_workbook* book_ = nullptr;
  lxw_worksheet* sheet_ = nullptr;
  lxw_format* dateFormat_ = nullptr;  // owned by the workbook
  lxw_format* timeFormat_ = nullptr;
  std::string path_;
  std::string error_;
};

// The export folder: "Qelt" in the user's temporary folder.
std::string DefaultExportFolder();

// A path in folder that no earlier export used: "Set3 2011-08-02 080000.xlsx",
// then "Set3 2011-08-02 080000 (2).xlsx" and so on.
std::string NewExportPath(const std::string& folder, int setNumber, const SetEntry& entry);

// Moves a finished workbook to where the user chose to keep it (replacing a
// file there). False with reason when it could not.
bool MoveWorkbook(const std::string& from, const std::string& to, std::string& reason);

// The messages around an export.
std::string ExportFailedMessage(const std::string& path, const std::string& reason);
std::string WorkbookWrittenMessage(const std::string& path);
std::string WorkbookNotOpenedMessage(const std::string& path);

}  // namespace qelt
