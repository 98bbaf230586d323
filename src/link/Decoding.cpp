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
  state.MeterValue = (negative ? "-" : "") + digits.substr(0, whole) + "." + digits.substr(whole);
  return state.MeterValue;
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
    std::string LiveReading::*member;
    int decimals;
    const bool MeterState::*over;
    const bool MeterState::*negative;
  };
  // Positions 2, 4, ... 56, in frame order.
  // clang-format off
  static const Field fields[QuantityCount] = {
      {&LiveReading::V1, 1, &MeterState::OverV1, nullptr},   {&LiveReading::I1, 1, &MeterState::OverI1, nullptr},
      {&LiveReading::KVA1, 1, nullptr, nullptr},             {&LiveReading::KW1, 1, nullptr, &MeterState::NegKW1},
      {&LiveReading::PF1, 3, nullptr, nullptr},              {&LiveReading::Theta1, 1, nullptr, &MeterState::NegKVAR1},
      {&LiveReading::KVAR1, 1, nullptr, &MeterState::NegKVAR1},
      {&LiveReading::V2, 1, &MeterState::OverV2, nullptr},   {&LiveReading::I2, 1, &MeterState::OverI2, nullptr},
      {&LiveReading::KVA2, 1, nullptr, nullptr},             {&LiveReading::KW2, 1, nullptr, &MeterState::NegKW2},
      {&LiveReading::PF2, 3, nullptr, nullptr},              {&LiveReading::Theta2, 1, nullptr, &MeterState::NegKVAR2},
      {&LiveReading::KVAR2, 1, nullptr, &MeterState::NegKVAR2},
      {&LiveReading::V3, 1, &MeterState::OverV3, nullptr},   {&LiveReading::I3, 1, &MeterState::OverI3, nullptr},
      {&LiveReading::KVA3, 1, nullptr, nullptr},             {&LiveReading::KW3, 1, nullptr, &MeterState::NegKW3},
      {&LiveReading::PF3, 3, nullptr, nullptr},              {&LiveReading::Theta3, 1, nullptr, &MeterState::NegKVAR3},
      {&LiveReading::KVAR3, 1, nullptr, &MeterState::NegKVAR3},
      {&LiveReading::TKVA, 1, nullptr, nullptr},             {&LiveReading::TKW, 1, nullptr, &MeterState::NegTKW},
      {&LiveReading::TPF, 3, nullptr, nullptr},              {&LiveReading::TTheta, 1, nullptr, &MeterState::NegTKVAR},
      {&LiveReading::TKVAR, 1, nullptr, &MeterState::NegTKVAR},
      {&LiveReading::Hz, 1, nullptr, nullptr},               {&LiveReading::I4, 1, &MeterState::OverI4, nullptr},
  };
  // clang-format on
  int position = 2;
  for (const Field& f : fields) {
    bool over = f.over ? s.*f.over : false;
    bool negative = f.negative ? s.*f.negative : false;
    r.*f.member = DecodeValue(s, byte(position), byte(position + 1), over, f.decimals, negative);
    position += 2;
  }
  return true;
}

}  // namespace qelt
