#pragma once
// Proleptic Gregorian calendar arithmetic, without time zones: the
// instrument, its files and the recordings keep the local time they were
// given.
namespace qelt {

// Days from 1970/01/01 to the date (negative before it).
long long DaysFromCivil(long long year, unsigned month, unsigned day);
// The date that many days after 1970/01/01.
void CivilFromDays(long long days, int& year, int& month, int& day);

}  // namespace qelt
