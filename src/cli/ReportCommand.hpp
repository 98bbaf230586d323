#pragma once
// qelt-cli report: the PDF report of a recording. It draws with Qt's widgets
// and so needs a QApplication, which runs on the offscreen platform: no
// display is needed.
#include <QCoreApplication>
#include <memory>

#include "cli/CliOptions.hpp"

namespace qelt::cli {

// Whether the command line asks for the report.
bool WantsReport(int argc, char** argv);
// The application the report draws with: the offscreen platform unless
// QT_QPA_PLATFORM names another.
std::unique_ptr<QCoreApplication> ReportApplication(int& argc, char** argv);

void AddReportCommand(CLI::App& app, CommandList& commands);

}  // namespace qelt::cli
