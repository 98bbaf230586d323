#include "sim/FrameEncoding.hpp"

#include <cmath>

#include "link/Commands.hpp"

namespace qelt {
namespace {

struct Flags {
  std::uint8_t A = 0;
  std::uint8_t B = 0;
};

void PutPair(std::string& out, std::uint16_t raw) {
  out.push_back(static_cast<char>(raw / 256));
  out.push_back(static_cast<char>(raw % 256));
}

// Over range when asked for, or when four digits cannot hold the value.
bool Over(bool forced, double value) { return forced || std::fabs(value) * 10.0 >= 9999.5; }

// A sign shows only on digits that are not all zero.
bool Negative(double value, std::uint16_t raw) { return value < 0 && raw > 0; }

// One flag carries the sign of both KVAR and Theta.
bool NegativeReactive(double kvar, double theta, std::uint16_t rawKvar, std::uint16_t rawTheta) {
  return (kvar < 0 || theta < 0) && (rawKvar > 0 || rawTheta > 0);
}

struct PhaseRaw {
  std::uint16_t V, I, KVA, KW, PF, Theta, KVAR;
  bool NegKW, NegKVAR, OverV, OverI;
};

PhaseRaw RawPhase(const LoadSample::Phase& p, bool overV, bool overI) {
  PhaseRaw r{};
  r.V = RawDigits(p.V, 1);
  r.I = RawDigits(p.I, 1);
  r.KVA = RawDigits(p.KVA, 1);
  r.KW = RawDigits(p.KW, 1);
  r.PF = RawDigits(p.PF, 3);
  r.Theta = RawDigits(p.Theta, 1);
  r.KVAR = RawDigits(p.KVAR, 1);
  r.NegKW = Negative(p.KW, r.KW);
  r.NegKVAR = NegativeReactive(p.KVAR, p.Theta, r.KVAR, r.Theta);
  r.OverV = Over(overV, p.V);
  r.OverI = Over(overI, p.I);
  return r;
}

struct Totals {
  std::uint16_t TKVA, TKW, TPF, TTheta, TKVAR, Hz, I4;
  bool NegTKW, NegTKVAR, OverI4;
};

Totals RawTotals(const LoadSample& s) {
  Totals t{};
  t.TKVA = RawDigits(s.TKVA, 1);
  t.TKW = RawDigits(s.TKW, 1);
  t.TPF = RawDigits(s.TPF, 3);
  t.TTheta = RawDigits(s.TTheta, 1);
  t.TKVAR = RawDigits(s.TKVAR, 1);
  t.Hz = RawDigits(s.Hz, 1);
  t.I4 = RawDigits(s.I4, 1);
  t.NegTKW = Negative(s.TKW, t.TKW);
  t.NegTKVAR = NegativeReactive(s.TKVAR, s.TTheta, t.TKVAR, t.TTheta);
  t.OverI4 = Over(s.Over.I4, s.I4);
  return t;
}

std::uint8_t Bits(std::initializer_list<bool> bits) {
  unsigned value = 0, weight = 1;
  for (bool b : bits) {
    if (b) value += weight;
    weight *= 2;
  }
  return static_cast<std::uint8_t>(value);
}

struct AllRaw {
  PhaseRaw P[3];
  Totals T;
  Flags F;
};

AllRaw Raw(const LoadSample& s) {
  AllRaw r{};
  const OverRange& o = s.Over;
  r.P[0] = RawPhase(s.Phases[0], o.V1, o.I1);
  r.P[1] = RawPhase(s.Phases[1], o.V2, o.I2);
  r.P[2] = RawPhase(s.Phases[2], o.V3, o.I3);
  r.T = RawTotals(s);
  r.F.A = Bits({r.P[0].NegKW, r.P[0].NegKVAR, r.P[1].NegKW, r.P[1].NegKVAR, r.P[2].NegKW, r.P[2].NegKVAR, r.P[0].OverV,
                r.P[0].OverI});
  r.F.B = Bits({r.P[1].OverV, r.P[1].OverI, r.P[2].OverV, r.P[2].OverI, r.T.OverI4, r.T.NegTKW, r.T.NegTKVAR});
  return r;
}

}  // namespace

std::uint16_t RawDigits(double value, int decimals) {
  double scaled = std::floor(std::fabs(value) * std::pow(10.0, decimals) + 0.5);
  if (!(scaled < 9999.0)) scaled = 9999.0;  // also catches NaN
  return static_cast<std::uint16_t>(scaled);
}

std::string ValueText(std::uint16_t raw, int decimals, bool negative, bool over) {
  if (over) return negative ? "-OL" : "OL";
  std::string digits = std::to_string(10000 + raw % 10000).substr(1);
  auto whole = static_cast<std::size_t>(4 - decimals);
  return (negative ? "-" : "") + digits.substr(0, whole) + "." + digits.substr(whole);
}

EncodedFrame EncodeLiveFrame(const LoadSample& s) {
  const AllRaw r = Raw(s);
  EncodedFrame out;
  std::string& b = out.Bytes;
  b.push_back(static_cast<char>(cmd::FrameStart));
  LiveReading& x = out.Texts;
  std::string* v[3][7] = {{&x.V1, &x.I1, &x.KVA1, &x.KW1, &x.PF1, &x.Theta1, &x.KVAR1},
                          {&x.V2, &x.I2, &x.KVA2, &x.KW2, &x.PF2, &x.Theta2, &x.KVAR2},
                          {&x.V3, &x.I3, &x.KVA3, &x.KW3, &x.PF3, &x.Theta3, &x.KVAR3}};
  for (int k = 0; k < 3; ++k) {
    const PhaseRaw& p = r.P[k];
    PutPair(b, p.V);
    *v[k][0] = ValueText(p.V, 1, false, p.OverV);
    PutPair(b, p.I);
    *v[k][1] = ValueText(p.I, 1, false, p.OverI);
    PutPair(b, p.KVA);
    *v[k][2] = ValueText(p.KVA, 1, false, false);
    PutPair(b, p.KW);
    *v[k][3] = ValueText(p.KW, 1, p.NegKW, false);
    PutPair(b, p.PF);
    *v[k][4] = ValueText(p.PF, 3, false, false);
    PutPair(b, p.Theta);
    *v[k][5] = ValueText(p.Theta, 1, p.NegKVAR, false);
    PutPair(b, p.KVAR);
    *v[k][6] = ValueText(p.KVAR, 1, p.NegKVAR, false);
  }
  const Totals& t = r.T;
  PutPair(b, t.TKVA);
  x.TKVA = ValueText(t.TKVA, 1, false, false);
  PutPair(b, t.TKW);
  x.TKW = ValueText(t.TKW, 1, t.NegTKW, false);
  PutPair(b, t.TPF);
  x.TPF = ValueText(t.TPF, 3, false, false);
  PutPair(b, t.TTheta);
  x.TTheta = ValueText(t.TTheta, 1, t.NegTKVAR, false);
  PutPair(b, t.TKVAR);
  x.TKVAR = ValueText(t.TKVAR, 1, t.NegTKVAR, false);
  PutPair(b, t.Hz);
  x.Hz = ValueText(t.Hz, 1, false, false);
  PutPair(b, t.I4);
  x.I4 = ValueText(t.I4, 1, false, t.OverI4);
  b.push_back(static_cast<char>(s.WiringCode));
  b.push_back(static_cast<char>(r.F.A));
  b.push_back(static_cast<char>(r.F.B));
  b.push_back(static_cast<char>(cmd::FrameEnd));
  return out;
}

std::string EncodeLoggerRecord(const LoadSample& s, bool skipped) {
  const AllRaw r = Raw(s);
  std::string b;
  b.push_back(static_cast<char>(r.F.A));
  b.push_back(static_cast<char>(r.F.B | (skipped ? 0x80 : 0x00)));
  PutPair(b, r.T.Hz);
  for (const PhaseRaw& p : r.P) {
    PutPair(b, p.V);
    PutPair(b, p.I);
    PutPair(b, p.KW);
  }
  PutPair(b, r.T.I4);
  return b;
}

}  // namespace qelt
