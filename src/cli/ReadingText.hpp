#pragma once
// How the command-line tool prints a live reading.
#include <string>

#include "link/LiveReading.hpp"
#include "link/MeterState.hpp"
#include "platform/Host.hpp"
#include "publish/PublishMessages.hpp"

namespace qelt {

// The recorder's sample line: date, time and the 28 texts, TAB-separated.
std::string ReadingTsv(const DateTime& when, const LiveReading& reading);

// {"date":"2026/12/09","time":"10:00:00","t":"2026-12-09T10:00:00.250+01:00",
//  "WiringCode":8,"WiringMode":"3P4W","values":{"KW1":"012.3",...}} with the
// values in measurement-file order.
std::string ReadingJson(const ReadingMoment& moment, const MeterState& meter, const LiveReading& reading);

// {"units":{"KW1":"kW",...,"PF1":"",...}}: the first line of a JSON run.
std::string UnitsJson();

// The host's date and time with the millisecond of the same second, the
// system clock's epoch seconds and the local zone's UTC offset then.
ReadingMoment MomentNow(Host& host);

}  // namespace qelt
