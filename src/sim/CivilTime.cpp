#include "sim/CivilTime.hpp"

#include "platform/CivilDate.hpp"

namespace qelt {
namespace {

const long long Epoch2000 = DaysFromCivil(2000, 1, 1);

}  // namespace

long long ToCivilSeconds(const DateTime& t) {
  long long days = DaysFromCivil(t.Year, static_cast<unsigned>(t.Month), static_cast<unsigned>(t.Day)) - Epoch2000;
  return days * 86400 + t.Hour * 3600LL + t.Minute * 60LL + t.Second;
}

DateTime FromCivilSeconds(long long seconds) {
  long long days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  long long rest = seconds - days * 86400;
  DateTime t;
  CivilFromDays(days + Epoch2000, t.Year, t.Month, t.Day);
  t.Hour = static_cast<int>(rest / 3600);
  t.Minute = static_cast<int>(rest / 60 % 60);
  t.Second = static_cast<int>(rest % 60);
  return t;
}

}  // namespace qelt
