// The live-frame decoding on any bytes: no crash, and every value text one of
// the forms DecodeValue makes ("230.5", "-0.998", "OL", "-OL").
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "link/Decoding.hpp"
#include "link/LiveReading.hpp"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsValueText(const std::string& t, bool threeDecimals) {
  std::string_view v = t;
  if (!v.empty() && v[0] == '-') v.remove_prefix(1);
  if (v == "OL") return true;
  std::size_t point = threeDecimals ? 1 : 3;
  if (v.size() != 5 || v[point] != '.') return false;
  for (std::size_t i = 0; i < v.size(); ++i)
    if (i != point && (v[i] < '0' || v[i] > '9')) return false;
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  qelt::MeterState state;
  qelt::LiveReading reading;
  // The frame as it came, and as a checked frame with its marks set.
  bool decoded = qelt::DecodeLiveFrame(state, bytes, reading);
  Check(decoded == (size >= 61));
  if (qelt::FrameMarksOk(bytes)) Check(decoded);
  if (decoded) {
    for (int i = 0; i < qelt::QuantityCount; ++i) Check(IsValueText(reading.ByIndex(i), qelt::IsThreeDecimal(i)));
    Check(state.WiringCode >= 0 && state.WiringCode < 16);
    const std::string& mode = state.WiringMode;
    Check(mode.empty() || mode == "1P2W" || mode == "1P3W" || mode == "3P3W2M" || mode == "3P4W");
  }
  // Logger decoding shows the digits whatever the over flag.
  if (size >= 3) {
    state.LoggerDecoding = (data[2] & 1) != 0;
    const std::string& v =
        qelt::DecodeValue(state, data[0], data[1], (data[2] & 2) != 0, (data[2] & 4) ? 3 : 1, (data[2] & 8) != 0);
    Check(IsValueText(v, (data[2] & 4) != 0));
    if (state.LoggerDecoding) Check(v.find("OL") == std::string::npos);
    (void)qelt::DecodeValue(state, data[0], data[1], false, static_cast<std::int8_t>(data[2]), false);
  }
  return 0;
}
