#include "recorder/MeasurementFile.hpp"

#include <cstdio>

namespace qelt {
namespace {

std::string TwoDigits(int value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d", value);
  return buf;
}

}  // namespace

std::string DateText(const DateTime& when) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", when.Year, when.Month, when.Day);
  return buf;
}

std::string TimeText(const DateTime& when) {
  return TwoDigits(when.Hour) + ":" + TwoDigits(when.Minute) + ":" + TwoDigits(when.Second);
}

std::string SampleLine(const DateTime& when, const ValueTexts& values) {
  std::string line = DateText(when);
  line += '\t';
  line += TimeText(when);
  for (const auto& value : values) {
    line += '\t';
    line += value;
  }
  return line;
}

std::string RecordLine(std::int64_t number, std::string_view sampleLine) {
  std::string line = std::to_string(number);
  line += '\t';
  line += sampleLine;
  return line;
}

std::string ListAutoSaveName(const DateTime& when) {
  return TwoDigits(when.Month) + TwoDigits(when.Day) + TwoDigits(when.Hour) + TwoDigits(when.Minute) +
         TwoDigits(when.Second) + ".mes";
}

}  // namespace qelt
