#pragma once
// What the publisher sends: topic names, the reading message, and the checks
// of the names and the broker address that the command line gives.
#include <cstdint>
#include <string>
#include <string_view>

#include "link/LiveReading.hpp"
#include "link/MeterState.hpp"
#include "platform/Host.hpp"

namespace qelt {

// Letters, digits, "-" and "_"; with slashes true also "/" between parts
// (not first, last or doubled). Never "+" or "#", never empty.
bool ValidTopicName(std::string_view name, bool slashes);

struct BrokerAddress {
  std::string Host;
  int Port = 0;  // 0: none given
};

// "mqtt://HOST[:PORT]" (HOST a name, an IPv4 address or [IPv6]); false for
// anything else.
bool ParseBrokerUrl(std::string_view url, BrokerAddress& out);

// "P/ID/reading" and its kin.
struct PublishTopics {
  std::string Reading, Status, Instrument, Energy;
};
PublishTopics TopicsFor(const std::string& prefix, const std::string& id);

// The moment of a reading: local date and time, the millisecond, the same
// moment in seconds since the epoch (for the energy's durations) and the
// local zone's offset from UTC then.
struct ReadingMoment {
  DateTime When;
  int Millisecond = 0;
  double Epoch = 0;
  int UtcOffsetMinutes = 0;
};

// Its "t": "2026-12-10T10:00:00.250+01:00"
std::string IsoText(const ReadingMoment& moment);

// {"seq":n,"t":…,"date":…,"time":…,"WiringCode":8,"WiringMode":"3P4W",
//  "values":{"KW1":12.3,…},"over":["V2"]}: the value texts as numbers, null
// for "OL", "-OL" and an empty text; "over" names the over-range ones.
std::string ReadingMessage(std::uint64_t seq, const ReadingMoment& moment, const MeterState& meter,
                           const LiveReading& reading);

// The same message with another seq (a payload is built before its seq is
// known only in tests and benchmarks).
std::string WithSeq(std::string_view message, std::uint64_t seq);

}  // namespace qelt
