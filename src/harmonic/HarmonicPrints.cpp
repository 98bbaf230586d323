#include "harmonic/HarmonicPrints.hpp"

namespace qelt {
namespace {

std::string RightAligned(std::string_view text, std::size_t width) {
  std::string out(text.size() < width ? width - text.size() : 0, ' ');
  return out.append(text);
}

}  // namespace

std::vector<std::string> CyclePrintLines(const GridRows& grid) {
  std::vector<std::string> lines{"   No.s  Value", "   ---------------"};
  for (int r = 1; r < grid.Rows(); ++r)
    lines.push_back(RightAligned(grid.Cell(r, 0), 5) + RightAligned(grid.Cell(r, 1), 10));
  return lines;
}

std::vector<std::string> ListPrintLines(const GridRows& grid) {
  std::vector<std::string> lines{"No.s        Value", "----------------------------"};
  for (int r = 1; r < grid.Rows(); ++r)
    lines.push_back(std::string(grid.Cell(r, 0)) + "     " + std::string(grid.Cell(r, 1)));
  return lines;
}

HarmonicPrintOutcome PrintHarmonicLines(const std::vector<std::string>& lines, PrintJob& job, Dialogs& dialogs,
                                        const PrinterChoice* choice, WindowSurface& window, PanelControl& panel,
                                        PrinterChoice* chosen) {
  // Declared first, so the pointer is put back before the poll starts.
  PollPause pause(panel);
  struct BusyPointer {
    WindowSurface& window;
    ~BusyPointer() { window.SetBusy(false); }
  } busy{window};
  window.SetBusy(true);

  PrinterChoice printer;
  if (choice) {
    printer = *choice;
    printer.Orientation = PageOrientation::Portrait;
  } else {
    auto picked = dialogs.ChoosePrinter(PrinterChoice{});
    if (!picked) return HarmonicPrintOutcome::Cancelled;
    printer = *picked;
    if (chosen) *chosen = printer;
  }
  std::string reason;
  if (!job.Begin(printer, reason)) {
    dialogs.Message("The printer cannot be used:\r\n" + reason, MessageIcon::Stop);
    return HarmonicPrintOutcome::Failed;
  }
  for (const std::string& line : lines) {
    window.RunEventsOnce();
    if (window.Gone() || !job.Line(line)) {
      job.End();
      return HarmonicPrintOutcome::Failed;
    }
  }
  job.End();
  return HarmonicPrintOutcome::Printed;
}

}  // namespace qelt
