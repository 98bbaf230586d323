#pragma once
// The text prints of the acquisition window: its normalised cycle ("Print"),
// and the magnitude list and the 64-point cycle that a file open fills.
#include <functional>
#include <string>
#include <vector>

#include "platform/Dialogs.hpp"
#include "platform/GridRows.hpp"
#include "platform/PrintJob.hpp"

namespace qelt {

inline constexpr const char* CyclePrintFont = "MS Sans Serif";
inline constexpr int CyclePrintPoints = 8;

// "   No.s  Value", "   ---------------", then per row the number
// right-aligned in 5 and the value in 10.
std::vector<std::string> CyclePrintLines(const GridRows& grid);
// "No.s        Value", a rule, then per row the number, five blanks, the value.
std::vector<std::string> ListPrintLines(const GridRows& grid);

struct HarmonicPrintHooks {
  std::function<void()> StopPoll;
  std::function<void()> StartPoll;
  std::function<void(bool)> SetBusy;  // the busy pointer
  std::function<void()> RunEvents;    // once before every line
  std::function<bool()> Gone;         // true: the window went away, stop
};

enum class HarmonicPrintOutcome { Printed, Cancelled, Failed };

// With a dialog (choice unset): asks for a printer first; a cancel prints
// nothing. Without (choice set): prints on that printer as it stands. The
// lines are a copy taken before the first line is printed. The pointer and
// the live poll are restored however it ends; the job is ended or abandoned.
HarmonicPrintOutcome PrintHarmonicLines(const std::vector<std::string>& lines, PrintJob& job, Dialogs& dialogs,
                                        const PrinterChoice* choice, const HarmonicPrintHooks& hooks,
                                        PrinterChoice* chosen = nullptr);

}  // namespace qelt
