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

std::string ContinuationName(const std::string& path, int part) {
  std::size_t nameStart = path.find_last_of("/\\");
  nameStart = nameStart == std::string::npos ? 0 : nameStart + 1;
  std::size_t dot = path.find('.', nameStart);
  std::string suffix = "-" + std::to_string(part);
  std::string result = path;
  if (dot == std::string::npos)
    result += suffix;
  else
    result.insert(dot, suffix);
  return result;
}

std::string ListAutoSaveName(const DateTime& when) {
  return TwoDigits(when.Month) + TwoDigits(when.Day) + TwoDigits(when.Hour) + TwoDigits(when.Minute) +
         TwoDigits(when.Second) + ".mes";
}

}  // namespace qelt
