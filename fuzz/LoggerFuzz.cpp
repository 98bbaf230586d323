// The logger's blocks on any bytes. The first byte picks what the rest is:
// a directory (the "T" reply), a set entry and its record blocks, or the
// script of a port that answers the directory read or a set download. No
// crash; rows, cells and captions well formed; a complete exchange holds
// exactly what it announced.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "ScriptedPort.hpp"
#include "link/Commands.hpp"
#include "link/ExchangeGuard.hpp"
#include "link/Link.hpp"
#include "logger/DirectoryRead.hpp"
#include "logger/RecordDecoder.hpp"
#include "logger/SetDownload.hpp"
#include "logger/SetEntry.hpp"
#include "platform/VirtualHost.hpp"
#include "session/CosTable.hpp"
#include "session/LoggerState.hpp"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool Digits(std::string_view text, std::string_view form) {  // form: '9' a digit, else that character
  if (text.size() != form.size()) return false;
  for (std::size_t i = 0; i < form.size(); ++i)
    if (form[i] == '9' ? text[i] < '0' || text[i] > '9' : text[i] != form[i]) return false;
  return true;
}

void CheckDirectory(std::string_view dir) {
  const std::string remain = qelt::RemainText(dir);
  Check(remain.size() > 2 && remain.compare(remain.size() - 2, 2, " K") == 0);
  const int n = qelt::DirectorySetCount(dir);
  Check(n >= 0 && (dir.empty() || n <= static_cast<unsigned char>(dir[0])));
  Check(n == 0 || 4 + 10 * static_cast<std::size_t>(n) <= dir.size());
  const auto rows = qelt::DirectoryRows(dir, "3P4W");
  Check(static_cast<int>(rows.size()) == n);
  for (const std::string& row : rows) {
    Check(std::count(row.begin(), row.end(), '\t') == 5);
    Check(row.find_first_of("\r\n") == std::string::npos);
  }
}

void CheckSet(std::string_view entry, std::string_view data) {
  static const qelt::CosTableArray cos = [] {
    qelt::CosTableArray t;
    qelt::FillCosTable(t);
    return t;
  }();
  qelt::RecordDecoder decoder(cos, entry);
  const qelt::SetEntry& e = decoder.Entry();
  Check(qelt::EntryDateText(e).size() == 8 && qelt::EntryTimeText(e).size() == 8);
  qelt::Moment start;
  if (qelt::EntryStart(e, start)) {
    Check(Digits(qelt::MomentDate(start), "9999/99/99"));
    Check(Digits(qelt::MomentTime(start), "99:99:99"));
  }
  const int present = decoder.RecordsIn(data);
  Check(present >= 0 && present <= decoder.RecordCount());
  Check(static_cast<std::size_t>(present) * qelt::RecordBytes <= data.size());
  const int shown = std::min(present, 48);
  for (int r = 0; r < shown; ++r) {
    Check(decoder.Decode(r, data));
    const std::string row = decoder.RowText();
    Check(std::count(row.begin(), row.end(), '\t') == qelt::ListColumns - 1);
    Check(row.find_first_of("\r\n") == std::string::npos);
    for (const qelt::SheetCell& cell : decoder.SheetRow())
      if (cell.What == qelt::SheetCell::Kind::Number) Check(std::isfinite(cell.Number));
  }
  Check(!decoder.Decode(present, data.substr(0, static_cast<std::size_t>(present) * qelt::RecordBytes)));
}

void Exchanges(std::uint8_t how, std::string_view script) {
  qelt::VirtualHost host(40000.0);
  qelt::fuzz::ScriptedPort port(host, script);
  qelt::Link link(host, port);
  qelt::ExchangeGuard guard;
  const double deadline = host.Monotonic() + 30.0;
  if ((how & 2) == 0) {
    qelt::LoggerState logger;
    int captions = 0;
    auto outcome = qelt::ReadLoggerDirectory(
        link, guard, logger,
        [&](const std::string& caption) {
          ++captions;
          Check(caption.size() > 12 && caption.compare(caption.size() - 11, 11, "% Completed") == 0);
        },
        deadline);
    Check(!guard.Busy());
    if (outcome == qelt::DirectoryOutcome::Complete) {
      const std::string& dir = logger.LoggerDirectory;
      Check(!dir.empty() && logger.LoggerSetCount == static_cast<unsigned char>(dir[0]));
      Check(dir.size() >= 4 + 10 * static_cast<std::size_t>(logger.LoggerSetCount) && captions > 0);
      CheckDirectory(dir);
    }
    return;
  }
  int lastFill = 0;
  qelt::DownloadHooks hooks;
  hooks.Deadline = deadline;
  hooks.Fill = [&](int percent) {
    Check(percent >= lastFill && percent <= 100);
    lastFill = percent;
  };
  const int set = 1 + how % 99;
  qelt::DownloadResult result = qelt::DownloadLoggerSet(link, guard, set, hooks);
  Check(!guard.Busy());
  Check(result.Received <= result.Expected || result.Outcome == qelt::DownloadOutcome::Abandoned);
  if (result.Outcome == qelt::DownloadOutcome::Complete) {
    Check(result.Entry.size() == qelt::cmd::SetEntrySize);
    Check(result.Data.size() == static_cast<std::size_t>(qelt::ParseSetEntry(result.Entry).RecordCount) * 24);
    CheckSet(result.Entry, result.Data);
  } else {
    Check(!qelt::DownloadStalledMessage(set, result.Received, result.Expected).empty());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  switch (data[0] % 3) {
    case 0: CheckDirectory(rest); break;
    case 1:
      CheckSet(rest.substr(0, std::min<std::size_t>(rest.size(), 10)), rest.size() > 10 ? rest.substr(10) : "");
      break;
    default: Exchanges(static_cast<std::uint8_t>(data[0] / 3), rest); break;
  }
  return 0;
}
