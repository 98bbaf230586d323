#pragma once
// The text prints of the acquisition window: its normalised cycle ("Print"),
// and the magnitude list and the 64-point cycle that a file open fills.
#include <string>
#include <vector>

#include "platform/Dialogs.hpp"
#include "platform/GridRows.hpp"
#include "platform/PrintJob.hpp"
#include "platform/WindowSurface.hpp"
#include "session/PanelControl.hpp"

namespace qelt {

inline constexpr const char* CyclePrintFont = "MS Sans Serif";
inline constexpr int CyclePrintPoints = 8;

// "   No.s  Value", "   ---------------", then per row the number
// right-aligned in 5 and the value in 10.
std::vector<std::string> CyclePrintLines(const GridRows& grid);
// "No.s        Value", a rule, then per row the number, five blanks, the value.
std::vector<std::string> ListPrintLines(const GridRows& grid);

enum class HarmonicPrintOutcome { Printed, Cancelled, Failed };

// With a dialog (choice unset): asks for a printer first; a cancel prints
// nothing. Without (choice set): prints on that printer as it stands. The
// lines are a copy taken before the first line is printed. The busy pointer
// is on and the live poll stopped meanwhile, and both are restored however it
// ends; the event loop runs once before every line, and the print stops when
// the window has gone. The job is ended or abandoned.
HarmonicPrintOutcome PrintHarmonicLines(const std::vector<std::string>& lines, PrintJob& job, Dialogs& dialogs,
                                        const PrinterChoice* choice, WindowSurface& window, PanelControl& panel,
                                        PrinterChoice* chosen = nullptr);

}  // namespace qelt
