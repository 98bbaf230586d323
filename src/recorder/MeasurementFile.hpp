#pragma once
// The measurement file: header, sample and record lines, continuation names.
// Lines are returned without their CR LF; the writers add it.
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Host.hpp"
#include "records/RecordTable.hpp"
#include "records/RecordingFiles.hpp"

namespace qelt {

std::string DateText(const DateTime& when);  // "yyyy/mm/dd"
std::string TimeText(const DateTime& when);  // "hh:nn:ss"

// Date, time and the 28 texts joined by TAB, no TAB at the end.
std::string SampleLine(const DateTime& when, const ValueTexts& values);
// The record number, TAB, the sample line.
std::string RecordLine(std::int64_t number, std::string_view sampleLine);

// "mmddhhnnss.mes": the name of an automatic save of the live list.
std::string ListAutoSaveName(const DateTime& when);

}  // namespace qelt
