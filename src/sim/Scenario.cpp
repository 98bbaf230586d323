#include "sim/Scenario.hpp"

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "sim/CivilTime.hpp"

namespace qelt {
namespace {

using nlohmann::json;

struct Reader {
  std::string& error;

  bool Fail(const std::string& key, const std::string& what) {
    error = "scenario: \"" + key + "\" " + what;
    return false;
  }
  bool Number(const json& j, const std::string& key, double low, double high, double& out) {
    if (!j.is_number()) return Fail(key, "must be a number");
    double v = j.get<double>();
    if (!(v >= low && v <= high)) return Fail(key, "is out of range");
    out = v;
    return true;
  }
  bool Bool(const json& j, const std::string& key, bool& out) {
    if (!j.is_boolean()) return Fail(key, "must be true or false");
    out = j.get<bool>();
    return true;
  }
  bool Integer(const json& j, const std::string& key, long long low, long long high, long long& out) {
    if (!j.is_number_integer()) return Fail(key, "must be a whole number");
    long long v = j.get<long long>();
    if (v < low || v > high) return Fail(key, "is out of range");
    out = v;
    return true;
  }
  bool Text(const json& j, const std::string& key, std::string& out) {
    if (!j.is_string()) return Fail(key, "must be a text");
    out = j.get<std::string>();
    return true;
  }
};

bool ApplyPhase(const json& j, int k, PhaseLoad& p, Reader& r) {
  const std::string prefix = "phases[" + std::to_string(k) + "].";
  if (!j.is_object()) return r.Fail("phases[" + std::to_string(k) + "]", "must be an object");
  for (const auto& [key, value] : j.items()) {
    bool ok = key == "v"         ? r.Number(value, prefix + key, 0, 2000, p.V)
              : key == "i"       ? r.Number(value, prefix + key, 0, 2000, p.I)
              : key == "angle"   ? r.Number(value, prefix + key, -180, 180, p.Angle)
              : key == "reverse" ? r.Bool(value, prefix + key, p.Reverse)
                                 : r.Fail(prefix + key, "is not a known key");
    if (!ok) return false;
  }
  return true;
}

bool ApplyFaults(const json& j, FaultSettings& f, Reader& r) {
  if (!j.is_object()) return r.Fail("faults", "must be an object");
  for (const auto& [key, value] : j.items()) {
    const std::string name = "faults." + key;
    long long n = 0;
    bool ok = true;
    if (key == "silent") {
      ok = r.Bool(value, name, f.Silent);
    } else if (key == "silentAfter") {
      ok = r.Integer(value, name, -1, 1000000000, n);
      f.SilentAfter = static_cast<long>(n);
    } else if (key == "badEcho") {
      ok = r.Integer(value, name, 0, 1000000000, n);
      f.BadEcho = static_cast<int>(n);
    } else if (key == "noise") {
      ok = r.Number(value, name, 0, 1, f.Noise);
    } else if (key == "dropFrame") {
      ok = r.Number(value, name, 0, 1, f.DropFrame);
    } else {
      ok = r.Fail(name, "is not a known key");
    }
    if (!ok) return false;
  }
  return true;
}

}  // namespace

bool ParseClockText(std::string_view text, DateTime& out) {
  std::string s(text);
  DateTime t;
  char sep = 0;
  int used = 0;
  if (std::sscanf(s.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%n", &t.Year, &t.Month, &t.Day, &sep, &t.Hour, &t.Minute,
                  &t.Second, &used) != 7)
    return false;
  if (static_cast<std::size_t>(used) != s.size() || (sep != ' ' && sep != 'T')) return false;
  if (t.Year < 2000 || t.Year > 2099 || t.Hour > 23 || t.Minute > 59 || t.Second > 59 || t.Hour < 0 || t.Minute < 0 ||
      t.Second < 0)
    return false;
  DateTime back = FromCivilSeconds(ToCivilSeconds(t));
  if (t.Month < 1 || t.Month > 12 || back.Day != t.Day || back.Month != t.Month) return false;
  out = t;
  return true;
}

// One "supply" entry: its kind sets the level's range and default.
bool ApplySupplyEvent(const json& j, SupplyEvent& e, Reader& r) {
  const std::string key = "supply";
  if (!j.is_object()) return r.Fail(key, "must be a list of objects");
  std::string kind;
  if (!j.contains("kind") || !r.Text(j["kind"], key + ".kind", kind)) return r.Fail(key, "needs a kind");
  double low = 0, high = 0.05;
  e.Level = 0;
  if (kind == "dip") {
    low = 0, high = 0.9, e.Level = 0.6;
  } else if (kind == "swell") {
    low = 1.1, high = 2, e.Level = 1.15;
  } else if (kind != "interruption") {
    return r.Fail(key + ".kind", "must be dip, swell or interruption");
  }
  for (const auto& [name, value] : j.items()) {
    const std::string where = key + "." + name;
    bool ok = true;
    if (name == "kind") continue;
    if (name == "at") {
      ok = r.Number(value, where, 0, 1e9, e.At);
    } else if (name == "seconds") {
      ok = r.Number(value, where, 1e-3, 1e9, e.Seconds);
    } else if (name == "level") {
      ok = r.Number(value, where, low, high, e.Level);
    } else if (name == "phases") {
      if (!value.is_array() || value.empty()) return r.Fail(where, "must be a list of phases 1..3");
      e.Phases = {false, false, false};
      for (const auto& p : value) {
        long long n = 0;
        if (!r.Integer(p, where, 1, 3, n)) return false;
        e.Phases[static_cast<std::size_t>(n - 1)] = true;
      }
    } else {
      return r.Fail(where, "is not a key of a supply event");
    }
    if (!ok) return false;
  }
  return true;
}

bool ApplyScenario(std::string_view text, InstrumentSettings& settings, std::string& error) {
  json root = json::parse(text.begin(), text.end(), nullptr, false);
  if (root.is_discarded()) {
    error = "scenario: not valid JSON";
    return false;
  }
  Reader r{error};
  if (!root.is_object()) return r.Fail("(top)", "must be an object");
  LoadSettings& load = settings.Load;
  for (const auto& [key, value] : root.items()) {
    bool ok = true;
    std::string s;
    double d = 0;
    long long n = 0;
    bool b = false;
    if (key == "wiring") {
      ok = r.Text(value, key, s);
      if (ok && WiringCodeFromText(s) == 0) ok = r.Fail(key, "must be 1P2W, 1P3W, 3P3W2M or 3P4W");
      if (ok) load.WiringCode = WiringCodeFromText(s);
    } else if (key == "hz") {
      ok = r.Number(value, key, 0, 1000, d);
      if (ok && d != 50 && d != 60) ok = r.Fail(key, "must be 50 or 60");
      if (ok) load.Hz = d;
    } else if (key == "phases") {
      if (!value.is_array() || value.empty() || value.size() > 3) {
        ok = r.Fail(key, "must be a list of 1 to 3 phases");
      } else {
        for (std::size_t k = 0; ok && k < value.size(); ++k)
          ok = ApplyPhase(value[k], static_cast<int>(k) + 1, load.Phases[k], r);
      }
    } else if (key == "negative") {
      ok = r.Bool(value, key, b);
      if (ok)
        for (PhaseLoad& p : load.Phases) p.Reverse = b;
    } else if (key == "over") {
      if (!value.is_array()) ok = r.Fail(key, "must be a list of input names");
      for (std::size_t k = 0; ok && k < value.size(); ++k) {
        ok = r.Text(value[k], key, s);
        if (ok && !SetOverRange(load.Over, s)) ok = r.Fail(key, "names an unknown input \"" + s + "\"");
      }
    } else if (key == "drift") {
      ok = r.Bool(value, key, load.Drift);
    } else if (key == "supply") {
      if (!value.is_array()) ok = r.Fail(key, "must be a list of supply events");
      load.Supply.clear();
      for (std::size_t k = 0; ok && k < value.size(); ++k)
        ok = ApplySupplyEvent(value[k], load.Supply.emplace_back(), r);
    } else if (key == "voltageDrift") {
      ok = r.Number(value, key, -0.5, 0.5, load.VoltageDriftPerHour);
    } else if (key == "readingNoise") {
      ok = r.Number(value, key, 0, 0.1, load.NoiseFraction);
    } else if (key == "logger") {
      ok = r.Text(value, key, s);
      if (ok && !LoggerMemory::IsPresetName(s)) ok = r.Fail(key, "must be empty, small, large or full");
      if (ok) settings.Logger = s;
    } else if (key == "clock") {
      DateTime t;
      ok = r.Text(value, key, s);
      if (ok && !ParseClockText(s, t)) ok = r.Fail(key, "must be a date and time such as 2011-07-29 09:00:00");
      if (ok) settings.Clock = t;
    } else if (key == "seed") {
      ok = r.Integer(value, key, 0, std::numeric_limits<long long>::max(), n);
      if (ok) settings.Seed = static_cast<std::uint64_t>(n);
    } else if (key == "fast") {
      ok = r.Bool(value, key, b);
      if (ok) settings.Paced = !b;
    } else if (key == "faults") {
      ok = ApplyFaults(value, settings.Faults, r);
    } else {
      ok = r.Fail(key, "is not a known key");
    }
    if (!ok) return false;
  }
  return true;
}

bool LoadScenarioFile(const std::string& path, InstrumentSettings& settings, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "scenario: cannot read " + path;
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  return ApplyScenario(text.str(), settings, error);
}

}  // namespace qelt
