#pragma once
// The report's "Voltage quality" page: the EN 50160 figures against their
// limits, the dip and swell tables, the 10-minute voltages of each phase
// with the +-10 % band, and the ten longest events. Drawn on the report's
// canvas, on the application's thread.
#include "analysis/Quality.hpp"

namespace qelt {

class ReportCanvas;

// Starts a page of its own.
void VoltageQualityPage(ReportCanvas& canvas, const Quality& quality);

}  // namespace qelt
