#pragma once
// What the analysis documents share: keys in the order they are written,
// null for a figure that is not known, moments as the summary writes them.
#include <nlohmann/json.hpp>
#include <optional>

#include "analysis/Summary.hpp"

namespace qelt {

using Json = nlohmann::ordered_json;

template <class T>
Json OrNull(const std::optional<T>& value) {
  return value ? Json(*value) : Json(nullptr);
}

inline Json MomentOrNull(const std::optional<Moment>& moment) {
  return moment ? Json(MomentText(*moment)) : Json(nullptr);
}

}  // namespace qelt
