#include "link/LiveReading.hpp"

namespace qelt {

std::string& LiveReading::ByIndex(int i) { return this->*Quantities.at(static_cast<std::size_t>(i)).Member; }
const std::string& LiveReading::ByIndex(int i) const {
  return this->*Quantities.at(static_cast<std::size_t>(i)).Member;
}

namespace {

struct Kind {
  std::string_view Prefix;
  const char* What;
  const char* Unit;
};

// Longest prefixes first: "KVAR" before "KVA" before "KW".
constexpr std::array<Kind, 8> Kinds = {{
    {"KVAR", "reactive power", "kvar"},
    {"KVA", "apparent power", "kVA"},
    {"KW", "active power", "kW"},
    {"PF", "power factor", ""},
    {"Theta", "phase angle", "\u00b0"},
    {"Hz", "frequency", "Hz"},
    {"V", "voltage", "V"},
    {"I", "current", "A"},
}};

const Kind* KindOf(std::string_view name) {
  if (name.starts_with('T') && !name.starts_with("Theta")) name.remove_prefix(1);
  for (const Kind& kind : Kinds)
    if (name.starts_with(kind.Prefix)) return &kind;
  return nullptr;
}

}  // namespace

const char* QuantityUnit(int quantityIndex) {
  const Kind* kind = KindOf(Quantities.at(static_cast<std::size_t>(quantityIndex)).Name);
  return kind ? kind->Unit : "";
}

std::string QuantityTitle(std::string_view name) {
  const int index = QuantityIndexOf(name);
  if (index < 0) return {};
  const Kind& kind = *KindOf(name);
  std::string title;
  if (name == "Hz")
    title = "Frequency";
  else if (name == "I4")
    title = "Fourth current input";
  else if (name.starts_with('T') && !name.starts_with("Theta"))
    title = std::string("Total ") + kind.What;
  else
    title = std::string("Phase ") + name.back() + " " + kind.What;
  if (*kind.Unit) title += std::string(" (") + kind.Unit + ")";
  return title;
}

}  // namespace qelt
