#include "link/Decoding.hpp"

#include <algorithm>

#include "link/Commands.hpp"
#include "link/LiveReading.hpp"

namespace qelt {

const char* WiringModeText(int code) {
  switch (code) {
    case 1: return "1P2W";
    case 2: return "1P3W";
    case 4: return "3P3W2M";
    case 8: return "3P4W";
    default: return nullptr;
  }
}

void DecodeWiring(MeterState& state, std::uint8_t status) {
  state.WiringCode = status % 16;
  if (const char* mode = WiringModeText(state.WiringCode)) state.WiringMode = mode;
}

namespace {
void Unpack(std::uint8_t value, bool* const (&flags)[8]) {
  for (bool* flag : flags) {
    *flag = value % 2 != 0;
    value = static_cast<std::uint8_t>(value / 2);
  }
}
}  // namespace

void UnpackFlagsA(MeterState& s, std::uint8_t flags) {
  Unpack(flags, {&s.NegKW1, &s.NegKVAR1, &s.NegKW2, &s.NegKVAR2, &s.NegKW3, &s.NegKVAR3, &s.OverV1, &s.OverI1});
}

void UnpackFlagsB(MeterState& s, std::uint8_t flags) {
  Unpack(flags, {&s.OverV2, &s.OverI2, &s.OverV3, &s.OverI3, &s.OverI4, &s.NegTKW, &s.NegTKVAR, &s.FlagB7});
}

const std::string& DecodeValue(MeterState& state, std::uint8_t hi, std::uint8_t lo, bool over, int decimals,
                               bool negative) {
  unsigned value = hi * 256u + lo;
  std::string digits = "0000" + std::to_string(value);
  digits = digits.substr(digits.size() - 4);
  if (!state.LoggerDecoding && over) {
    state.MeterValue = negative ? "-OL" : "OL";
    return state.MeterValue;
  }
  auto whole = static_cast<std::size_t>(4 - std::clamp(decimals, 0, 4));
  // Built by appending: GCC 12 at -O3 reports a false -Wrestrict for "-" + std::string.
  std::string& text = state.MeterValue;
  text.clear();
  if (negative) text += '-';
  text.append(digits, 0, whole);
  text += '.';
  text.append(digits, whole);
  return text;
}

bool FrameMarksOk(std::string_view frame) {
  return frame.size() >= cmd::FrameSize && static_cast<unsigned char>(frame[0]) == cmd::FrameStart &&
         static_cast<unsigned char>(frame[cmd::FrameSize - 1]) == cmd::FrameEnd;
}

bool DecodeLiveFrame(MeterState& s, std::string_view frame, LiveReading& r) {
  if (frame.size() < cmd::FrameSize) return false;
  auto byte = [&](int position) { return static_cast<std::uint8_t>(frame[static_cast<std::size_t>(position - 1)]); };
  DecodeWiring(s, byte(58));
  UnpackFlagsA(s, byte(59));
  UnpackFlagsB(s, byte(60));

  struct Field {
    int quantity;
    const bool MeterState::*over;
    const bool MeterState::*negative;
  };
  constexpr auto q = [](std::string_view name) { return QuantityIndexOf(name); };
  using M = MeterState;
  // Positions 2, 4, ... 56, in frame order.
  // clang-format off
  static constexpr Field fields[QuantityCount] = {
      {q("V1"), &M::OverV1, nullptr}, {q("I1"), &M::OverI1, nullptr}, {q("KVA1"), nullptr, nullptr},
      {q("KW1"), nullptr, &M::NegKW1}, {q("PF1"), nullptr, nullptr}, {q("Theta1"), nullptr, &M::NegKVAR1},
      {q("KVAR1"), nullptr, &M::NegKVAR1},
      {q("V2"), &M::OverV2, nullptr}, {q("I2"), &M::OverI2, nullptr}, {q("KVA2"), nullptr, nullptr},
      {q("KW2"), nullptr, &M::NegKW2}, {q("PF2"), nullptr, nullptr}, {q("Theta2"), nullptr, &M::NegKVAR2},
      {q("KVAR2"), nullptr, &M::NegKVAR2},
      {q("V3"), &M::OverV3, nullptr}, {q("I3"), &M::OverI3, nullptr}, {q("KVA3"), nullptr, nullptr},
      {q("KW3"), nullptr, &M::NegKW3}, {q("PF3"), nullptr, nullptr}, {q("Theta3"), nullptr, &M::NegKVAR3},
      {q("KVAR3"), nullptr, &M::NegKVAR3},
      {q("TKVA"), nullptr, nullptr}, {q("TKW"), nullptr, &M::NegTKW}, {q("TPF"), nullptr, nullptr},
      {q("TTheta"), nullptr, &M::NegTKVAR}, {q("TKVAR"), nullptr, &M::NegTKVAR},
      {q("Hz"), nullptr, nullptr}, {q("I4"), &M::OverI4, nullptr},
  };
  // clang-format on
  static_assert([] {
    for (const Field& f : fields)
      if (f.quantity < 0) return false;
    return true;
  }());
  int position = 2;
  for (const Field& f : fields) {
    bool over = f.over ? s.*f.over : false;
    bool negative = f.negative ? s.*f.negative : false;
    r.ByIndex(f.quantity) = DecodeValue(s, byte(position), byte(position + 1), over,
                                        Quantities[static_cast<std::size_t>(f.quantity)].Decimals, negative);
    position += 2;
  }
  return true;
}

}  // namespace qelt
