#include "logger/WorkbookExport.hpp"

#include <xlsxwriter.h>

#include <filesystem>
#include <system_error>

namespace qelt {

namespace fs = std::filesystem;

WorkbookExport::~WorkbookExport() { Abandon(); }

void WorkbookExport::Fail(const std::string& reason) {
  if (error_.empty()) error_ = reason;
}

bool WorkbookExport::StartExport(const std::string& path) {
  Abandon();
  error_.clear();
  path_ = path;
  std::error_code ec;
  const fs::path folder = fs::path(path).parent_path();
  if (!folder.empty()) fs::create_directories(folder, ec);
  if (ec) {
    Fail(ec.message());
    return false;
  }
  lxw_workbook_options options{};
  options.constant_memory = LXW_TRUE;
  book_ = workbook_new_opt(path.c_str(), &options);
  if (!book_) {
    Fail("the workbook could not be created");
    return false;
  }
  sheet_ = workbook_add_worksheet(book_, nullptr);
  if (!sheet_) {
    Fail("the worksheet could not be created");
    return false;
  }
  dateFormat_ = workbook_add_format(book_);
  timeFormat_ = workbook_add_format(book_);
  format_set_num_format(dateFormat_, "yyyy/mm/dd");
  format_set_num_format(timeFormat_, "hh:mm:ss");
  // Wide enough that the dates and times show rather than "####".
  worksheet_set_column(sheet_, 1, 1, 11, nullptr);
  worksheet_set_column(sheet_, 2, 2, 9, nullptr);
  const auto& titles = SheetTitles();
  for (std::size_t c = 0; c < titles.size(); ++c) {
    lxw_error e = worksheet_write_string(sheet_, 0, static_cast<lxw_col_t>(c), titles[c].c_str(), nullptr);
    if (e != LXW_NO_ERROR) {
      Fail(lxw_strerror(e));
      return false;
    }
  }
  return true;
}

bool WorkbookExport::ExportRow(int r, const std::array<SheetCell, ListColumns>& cells) {
  if (!sheet_ || !Ok()) return false;
  const auto row = static_cast<lxw_row_t>(r + 1);
  for (std::size_t c = 0; c < cells.size(); ++c) {
    const SheetCell& cell = cells[c];
    const auto col = static_cast<lxw_col_t>(c);
    lxw_error e = LXW_NO_ERROR;
    switch (cell.What) {
      case SheetCell::Kind::Empty: continue;
      case SheetCell::Kind::Number: e = worksheet_write_number(sheet_, row, col, cell.Number, nullptr); break;
      case SheetCell::Kind::Text: e = worksheet_write_string(sheet_, row, col, cell.Text.c_str(), nullptr); break;
      case SheetCell::Kind::Date: e = worksheet_write_number(sheet_, row, col, cell.Number, dateFormat_); break;
      case SheetCell::Kind::Time: e = worksheet_write_number(sheet_, row, col, cell.Number, timeFormat_); break;
    }
    if (e != LXW_NO_ERROR) {
      Fail(lxw_strerror(e));
      return false;
    }
  }
  return true;
}

bool WorkbookExport::Finish() {
  if (!book_) return false;
  lxw_error e = workbook_close(book_);
  book_ = nullptr;
  sheet_ = nullptr;
  dateFormat_ = timeFormat_ = nullptr;
  if (e != LXW_NO_ERROR) Fail(lxw_strerror(e));
  if (!Ok()) {
    std::error_code ec;
    fs::remove(path_, ec);
  }
  return Ok();
}

void WorkbookExport::Abandon() {
  if (!book_) return;
  // Closing is the only way to free the workbook; what it wrote is removed.
  workbook_close(book_);
  book_ = nullptr;
  sheet_ = nullptr;
  dateFormat_ = timeFormat_ = nullptr;
  std::error_code ec;
  fs::remove(path_, ec);
}

std::string DefaultExportFolder() {
  std::error_code ec;
  fs::path tmp = fs::temp_directory_path(ec);
  if (ec) tmp = "/tmp";
  return (tmp / "Qelt").string();
}

std::string NewExportPath(const std::string& folder, int setNumber, const SetEntry& entry) {
  std::string stem = "Set" + std::to_string(setNumber);
  Moment start;
  if (EntryStart(entry, start)) {
    std::string date = MomentDate(start), time = MomentTime(start);
    for (char& c : date)
      if (c == '/') c = '-';
    std::string hms;
    for (char c : time)
      if (c != ':') hms += c;
    stem += " " + date + " " + hms;
  }
  for (int n = 1;; ++n) {
    const std::string name = stem + (n > 1 ? " (" + std::to_string(n) + ")" : std::string()) + ".xlsx";
    const fs::path candidate = fs::path(folder) / name;
    std::error_code ec;
    if (!fs::exists(candidate, ec)) return candidate.string();
  }
}

bool MoveWorkbook(const std::string& from, const std::string& to, std::string& reason) {
  std::error_code ec;
  if (fs::equivalent(from, to, ec)) return true;
  ec.clear();
  fs::rename(from, to, ec);
  if (!ec) return true;
  // Another file system: a copy, then the temporary one goes.
  ec.clear();
  fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec);
  if (ec) {
    reason = ec.message();
    return false;
  }
  fs::remove(from, ec);
  return true;
}

std::string ExportFailedMessage(const std::string& path, const std::string& reason) {
  return "The workbook could not be written:\r\n" + path + "\r\n" + reason + "\r\nThe lists are complete.";
}

std::string WorkbookWrittenMessage(const std::string& path) { return "The workbook was written to:\r\n" + path; }

std::string WorkbookNotOpenedMessage(const std::string& path) {
  return "No program opens the workbook here. It was written to:\r\n" + path;
}

}  // namespace qelt
