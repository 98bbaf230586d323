// Speed of the logger: decoding the largest set (21 845 records) into the
// lists, its export workbook, and a paced download of the same set against
// the simulator on the virtual clock. Prints its figures; targets: decoding
// under 0.3 s, export under 2 s, download within 3 % of the line-rate bound
// blocks x (0.02 s + 256 / 1 920 s).
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

#include "FakePanel.hpp"
#include "link/Link.hpp"
#include "logger/LoggerWindows.hpp"
#include "logger/RecordDecoder.hpp"
#include "logger/SetDownload.hpp"
#include "logger/WorkbookExport.hpp"
#include "platform/GridRows.hpp"
#include "platform/ScriptedDialogs.hpp"
#include "platform/VirtualHost.hpp"
#include "platform/qt/Grid.hpp"
#include "platform/qt/QtHost.hpp"
#include "sim/Instrument.hpp"
#include "sim/SimPort.hpp"

using namespace qelt;

namespace {

using NoPanel = test::FakePanel;

struct NullPort : SerialPort {
  bool Open(const std::string&, const std::string&, std::string&) override { return true; }
  bool IsOpen() const override { return true; }
  void Write(std::string_view) override {}
  std::string ReadAll() override { return {}; }
  std::size_t Pending() override { return 0; }
};

double Seconds(const QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e9; }

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  InstrumentSettings settings;
  settings.Logger = "full";
  Instrument instrument(settings);
  const LoggerSet& set = instrument.Logger().Sets().at(0);
  const std::string entry = LoggerMemory::EntryBytes(set);
  const std::string& data = set.Records;
  CosTableArray cos{};
  FillCosTable(cos);
  std::printf("set: %d records, %zu bytes\n", set.RecordCount(), data.size());

  // The decoding alone, into grid rows.
  {
    QElapsedTimer t;
    t.start();
    RecordDecoder decoder(cos, entry);
    GridRows rows(ListColumns);
    for (int r = 0; r < decoder.RecordsIn(data); ++r) {
      decoder.Decode(r, data);
      rows.AddRow(decoder.RowText());
    }
    std::printf("decode into grid rows:          %.3f s (%d rows)\n", Seconds(t), rows.Rows());
    Grid grid(ListColumns);
    grid.show();
    t.restart();
    for (int r = 1; r < rows.Rows(); ++r) {
      std::string line;
      for (int c = 0; c < ListColumns; ++c) (line += rows.Cell(r, c)) += '\t';
      grid.AddItem(line);
    }
    std::printf("the same rows appended to a shown grid: %.3f s\n", Seconds(t));
  }

  // The export alone.
  QTemporaryDir folder;
  {
    QElapsedTimer t;
    t.start();
    RecordDecoder decoder(cos, entry);
    WorkbookExport book;
    book.StartExport(folder.filePath("bench.xlsx").toStdString());
    for (int r = 0; r < decoder.RecordsIn(data); ++r) {
      decoder.Decode(r, data);
      book.ExportRow(r, decoder.SheetRow());
    }
    const bool ok = book.Finish();
    std::printf("decode + export workbook:       %.3f s (%s)\n", Seconds(t), ok ? "written" : book.Error().c_str());
  }

  // "Read" of the cached set into both list windows with the export, as the program does it.
  {
    QtHost host;
    NullPort port;
    Link link(host, port);
    Session session;
    FillCosTable(session.CosTable);
    session.Logger.LoggerDirectory = instrument.Logger().DirectoryBytes();
    session.Logger.LoggerSetCount = 1;
    session.Logger.SetHeaderCache[1] = entry;
    session.Logger.SetDataCache[1] = data;
    ScriptedDialogs dialogs;
    NoPanel panel;
    LoggerWindows windows(session, link, dialogs, panel, nullptr, folder.filePath("exports").toStdString());
    struct NoDesktop : WorkbookOpener {
      bool OpenWorkbook(const std::string&) override { return true; }
    } noDesktop;
    windows.SetWorkbookOpener(&noDesktop);
    QElapsedTimer t;
    t.start();
    windows.Controller().ReadCommand("1");
    std::printf("Read into Data List + Data List (Continued) + workbook: %.3f s\n", Seconds(t));
  }

  // A paced download on the virtual clock.
  {
    VirtualHost host;
    SimPort port(host, instrument);
    std::string error;
    port.Open("SIM", "19200,n,8,1", error);
    Link link(host, port);
    ExchangeGuard guard;
    const double start = host.Monotonic();
    QElapsedTimer t;
    t.start();
    DownloadResult got = DownloadLoggerSet(link, guard, 1, {});
    const double took = host.Monotonic() - start;
    const double full = static_cast<double>(data.size() / 256), rest = static_cast<double>(data.size() % 256);
    const double bound = full * (0.02 + 256.0 / 1920.0) + (rest > 0 ? 0.02 + rest / 1920.0 : 0.0);
    std::printf(
        "paced download of %.0f blocks: %.1f s virtual (bound %.1f s, %+.2f %%), %zu bytes, %.3f s of CPU time\n",
        full + (rest > 0), took, bound, 100.0 * (took - bound) / bound, got.Data.size(), Seconds(t));
  }
  return 0;
}
