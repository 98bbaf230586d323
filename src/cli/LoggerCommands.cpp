#include "cli/LoggerCommands.hpp"

#include <memory>

#include "cli/CliInstrument.hpp"
#include "logger/DirectoryRead.hpp"
#include "logger/RecordDecoder.hpp"
#include "logger/SetDownload.hpp"
#include "logger/SetEntry.hpp"
#include "logger/WorkbookExport.hpp"
#include "platform/GridRows.hpp"
#include "records/GridFile.hpp"

namespace qelt::cli {

namespace {

struct LoggerOptions {
  PortOptions Port;
  int Set = 0;
  std::string Out;
  std::string Book;
  bool Yes = false;
};

// Opens the port and reads the directory; Ok or the exit code.
int ReadDirectory(CliInstrument& meter, const PortOptions& o) {
  if (int rc = meter.Open(o); rc != Ok) return rc;
  switch (ReadLoggerDirectory(meter.link, meter.session.Guard, meter.session.Logger, {}, meter.Deadline())) {
    case DirectoryOutcome::Complete: return Ok;
    case DirectoryOutcome::Stalled: Complain("the instrument stopped sending its memory directory"); return NoAnswer;
    case DirectoryOutcome::Busy:
    case DirectoryOutcome::Abandoned: break;
  }
  return meter.NoAnswerExit();
}

int RunList(const LoggerOptions& o) {
  CliInstrument meter(o.Port.Timeout);
  if (int rc = ReadDirectory(meter, o.Port); rc != Ok) return rc;
  const std::string& dir = meter.session.Logger.LoggerDirectory;
  PrintLine("Remained\t" + RemainText(dir));
  PrintLine("Set\t Date\t Time\t Mode\tRec.s\tIntv.");
  for (const std::string& row : DirectoryRows(dir, "")) PrintLine(row);
  return Ok;
}

int RunGet(const LoggerOptions& o) {
  CliInstrument meter(o.Port.Timeout);
  if (int rc = ReadDirectory(meter, o.Port); rc != Ok) return rc;
  const int sets = DirectorySetCount(meter.session.Logger.LoggerDirectory);
  if (o.Set < 1 || o.Set > sets) {
    Complain("--set " + std::to_string(o.Set) + ": the memory holds " +
             (sets ? "sets 1 to " + std::to_string(sets) : std::string("no sets")));
    return Usage;
  }
  DownloadHooks hooks;
  hooks.Deadline = meter.Deadline();
  hooks.Cancelled = [] { return Interrupted(); };
  DownloadResult got = DownloadLoggerSet(meter.link, meter.session.Guard, o.Set, hooks);
  switch (got.Outcome) {
    case DownloadOutcome::Complete: break;
    case DownloadOutcome::Stalled: Complain(DownloadStalledMessage(o.Set, got.Received, got.Expected)); return NoAnswer;
    case DownloadOutcome::Cancelled: Complain("interrupted; nothing was written"); return NoAnswer;
    case DownloadOutcome::Busy:
    case DownloadOutcome::Abandoned: return meter.NoAnswerExit();
  }

  CosTableArray cos{};
  FillCosTable(cos);
  RecordDecoder decoder(cos, got.Entry);
  GridRows grid(ListColumns);
  grid.SetRows(1);
  const auto& titles = DataListTitles();
  for (int c = 0; c < ListColumns; ++c) grid.SetCell(0, c, titles[static_cast<std::size_t>(c)]);
  std::unique_ptr<WorkbookExport> book;
  if (!o.Book.empty()) {
    book = std::make_unique<WorkbookExport>();
    if (!book->StartExport(o.Book)) {
      Complain("cannot write " + o.Book + ": " + book->Error());
      return FileError;
    }
  }
  const int present = decoder.RecordsIn(got.Data);
  for (int r = 0; r < present; ++r) {
    decoder.Decode(r, got.Data);
    grid.AddRow(decoder.RowText());
    if (book) book->ExportRow(r, decoder.SheetRow());
  }
  GridFileResult written = WriteGridFile(o.Out, grid);
  if (!written.Ok) {
    Complain("cannot write " + o.Out + ": " + written.Reason);
    return FileError;
  }
  if (book && !book->Finish()) {
    Complain("cannot write " + o.Book + ": " + book->Error());
    return FileError;
  }
  return Ok;
}

int RunErase(const LoggerOptions& o) {
  if (!o.Yes) {
    Complain("logger erase deletes every set in the instrument; give --yes to do it");
    return Usage;
  }
  CliInstrument meter(o.Port.Timeout);
  if (int rc = meter.Open(o.Port); rc != Ok) return rc;
  // "G" is answered by nothing; it is on the line when the write returns.
  if (!EraseLoggerMemory(meter.link, meter.session.Guard, meter.Deadline())) return meter.NoAnswerExit();
  return Ok;
}

}  // namespace

void AddLoggerCommands(CLI::App& app, CommandList& commands) {
  auto o = std::make_shared<LoggerOptions>();
  auto* logger = app.add_subcommand("logger", "the instrument's logger memory");
  logger->require_subcommand(1);

  auto* list = logger->add_subcommand("list", "print the free memory and the stored sets");
  AddPortOptions(list, o->Port);

  auto* get = logger->add_subcommand("get", "download and decode one set into a list file");
  AddPortOptions(get, o->Port);
  get->add_option("--set", o->Set, "set number, 1..n")->required();
  get->add_option("--out", o->Out, "list file (as \"Save\" writes it)")->required();
  get->add_option("--xlsx", o->Book, "also write the export workbook");

  auto* erase = logger->add_subcommand("erase", "erase the logger memory");
  AddPortOptions(erase, o->Port);
  erase->add_flag("--yes", o->Yes, "really erase");

  commands.push_back({list, [o] { return RunList(*o); }});
  commands.push_back({get, [o] { return RunGet(*o); }});
  commands.push_back({erase, [o] { return RunErase(*o); }});
}

}  // namespace qelt::cli
