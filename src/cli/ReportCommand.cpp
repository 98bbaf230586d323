#include "cli/ReportCommand.hpp"

#include <QApplication>
#include <QDir>
#include <cstdlib>
#include <cstring>
#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "cli/CliInstrument.hpp"
#include "harmonic/FileHz.hpp"
#include "harmonic/HarmonicFile.hpp"
#include "harmonic/HarmonicLimits.hpp"
#include "platform/qt/QtDateTime.hpp"
#include "records/RecordingFiles.hpp"
#include "report/Report.hpp"

namespace qelt::cli {
namespace {

struct ReportOptions {
  std::string File;
  std::string Out;
  bool Single = false;
  int Demand = 15;
  std::string Title;
  std::vector<std::string> Harmonics;
  std::vector<int> Hz;
  std::string Limits;  // empty: each file's default
  double IscIl = 0;
  bool IscIlGiven = false;
};

// The frequency of a harmonic file given without one, from its sample count
// (said on stderr); 60 for a file that cannot be read, which the report then
// refuses with its reason.
int HarmonicHz(const std::string& path, std::optional<int> hz) {
  HarmonicFileRead file = ReadHarmonicFile(path);
  if (!file.Ok) return hz.value_or(60);
  const FileHz taken = FileHzFor(static_cast<int>(file.Rows.size()), hz);
  if (!taken.Note.empty()) Complain(path + ": " + taken.Note);
  return taken.Hz;
}

int Run(const ReportOptions& o) {
  if (!o.Hz.empty() && o.Hz.size() != 1 && o.Hz.size() != o.Harmonics.size()) {
    Complain("give one --hz for all harmonic files or one after each --harmonic");
    return Usage;
  }
  if (o.Harmonics.empty() && !o.Hz.empty()) {
    Complain("--hz goes with --harmonic");
    return Usage;
  }
  std::optional<LimitChoice> limits;
  if (!o.Limits.empty() || o.IscIlGiven) {
    const Result<LimitChoice> choice =
        ParseLimitChoice(o.Limits.empty() ? "ieee519" : o.Limits, o.IscIlGiven ? std::optional(o.IscIl) : std::nullopt);
    if (!choice) {
      Complain(choice.Reason());
      return Usage;
    }
    limits = choice.Value();
  }
  ReportRequest request;
  request.Files = RecordingFiles(o.File, o.Single);
  request.Title = o.Title;
  request.DemandMinutes = o.Demand;
  request.Made = LocalNow();
  for (std::size_t i = 0; i < o.Harmonics.size(); ++i) {
    const std::string& path = o.Harmonics[i];
    const std::optional<int> hz = o.Hz.empty() ? std::nullopt : std::optional(o.Hz.size() == 1 ? o.Hz[0] : o.Hz[i]);
    request.Harmonics.push_back({path, HarmonicHz(path, hz), limits.value_or(DefaultReportLimits(path))});
  }

  const ReportOutcome outcome = WriteReport(request, o.Out);
  switch (outcome.Error) {
    case ReportError::None: return Ok;
    case ReportError::Unreadable: Complain("cannot read " + outcome.Written.Reason()); return FileError;
    case ReportError::HarmonicUnreadable: Complain("cannot read " + outcome.Written.Reason()); return FileError;
    case ReportError::Unwritable: Complain("cannot write " + o.Out + ": " + outcome.Written.Reason()); return FileError;
    case ReportError::NoRecords: Complain(o.File + " holds not one record row"); return BadContents;
    case ReportError::HarmonicTooShort: Complain(outcome.Written.Reason()); return BadContents;
    case ReportError::Cancelled: return FileError;
  }
  return FileError;
}

// Qt warns on stderr when the runtime folder is not set (cron, a service):
// a private one of our own is what it would ask for.
void EnsureRuntimeFolder() {
#ifdef Q_OS_UNIX
  if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
  const QByteArray folder = QDir::tempPath().toLocal8Bit() + "/qelt-runtime-" + QByteArray::number(::getuid());
  ::mkdir(folder.constData(), 0700);
  struct stat info {};
  if (::lstat(folder.constData(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::getuid() &&
      (info.st_mode & 0777) == 0700)
    qputenv("XDG_RUNTIME_DIR", folder);
#endif
}

}  // namespace

bool WantsReport(int argc, char** argv) { return argc > 1 && std::strcmp(argv[1], "report") == 0; }

std::unique_ptr<QCoreApplication> ReportApplication(int& argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  EnsureRuntimeFolder();
  return std::make_unique<QApplication>(argc, argv);
}

void AddReportCommand(CLI::App& app, CommandList& commands) {
  auto o = std::make_shared<ReportOptions>();
  auto* report = app.add_subcommand("report", "the PDF report of a recording: summary, trend plots, harmonic pages");
  report->add_option("file", o->File, "measurement file or saved list (its continuation files follow)")->required();
  report->add_option("--out", o->Out, "PDF file to write")->required();
  report->add_flag("--single", o->Single, "the file alone, without its continuation files");
  report->add_option("--demand", o->Demand, "demand block in minutes (1..1440)")
      ->check(CLI::Range(1, 1440))
      ->capture_default_str();
  report->add_option("--title", o->Title, "title of the report (default: the file name)");
  report->add_option("--harmonic", o->Harmonics, "harmonic file for a page of its own (repeatable)");
  report->add_option("--hz", o->Hz, "line frequency of the harmonic files: 50 or 60 (one, or one per file)")
      ->check(CLI::IsMember({50, 60}));
  report
      ->add_option("--limits", o->Limits,
                   "limits on the harmonic pages: en50160, ieee519 or none (default: en50160, none for a current)")
      ->check(CLI::IsMember({"en50160", "ieee519", "none"}));
  auto* iscIl = report->add_option("--isc-il", o->IscIl, "ISC/IL ratio: the ieee519 current limits")->check(AboveZero);
  commands.push_back({report, [o, iscIl] {
                        o->IscIlGiven = iscIl->count() > 0;
                        return Run(*o);
                      }});
}

}  // namespace qelt::cli
