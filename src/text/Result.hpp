#pragma once
// What can fail with a reason the user reads: a value (or nothing) on
// success, else the reason, a sentence for stderr or a message box (the file
// and the system's words). Where a caller must tell failures apart (an exit
// code, a message of its own), the kind travels in the value or in an enum
// beside it; the reason is only ever shown.
//
//   Result<> Save(...)        { if (bad) return Fail("cannot write " + path); return {}; }
//   Result<Config> Load(...)  { ...; return config; }
//   if (auto saved = Save(...); !saved) Tell(saved.Reason());
#include <optional>
#include <string>
#include <utility>

namespace qelt {

struct Failure {
  std::string Reason;
};

inline Failure Fail(std::string reason) { return Failure{std::move(reason)}; }

template <typename T = void>
class [[nodiscard]] Result {
 public:
  Result(T value) : value_(std::move(value)) {}                    // NOLINT(google-explicit-constructor)
  Result(Failure failure) : reason_(std::move(failure.Reason)) {}  // NOLINT(google-explicit-constructor)

  bool Ok() const { return value_.has_value(); }
  explicit operator bool() const { return Ok(); }
  const std::string& Reason() const { return reason_; }

  // Only when Ok().
  T& Value() { return *value_; }
  const T& Value() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }

 private:
  std::optional<T> value_;
  std::string reason_;
};

template <>
class [[nodiscard]] Result<void> {
 public:
  Result() = default;
  Result(Failure failure) : ok_(false), reason_(std::move(failure.Reason)) {}  // NOLINT(google-explicit-constructor)

  bool Ok() const { return ok_; }
  explicit operator bool() const { return ok_; }
  const std::string& Reason() const { return reason_; }

 private:
  bool ok_ = true;
  std::string reason_;
};

}  // namespace qelt
