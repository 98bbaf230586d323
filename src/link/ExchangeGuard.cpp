#include "link/ExchangeGuard.hpp"

#include <utility>

namespace qelt {

ExchangeGuard::Ticket::Ticket(Ticket&& other) noexcept
    : Deadline(other.Deadline), guard_(std::exchange(other.guard_, nullptr)), generation_(other.generation_) {}

ExchangeGuard::Ticket& ExchangeGuard::Ticket::operator=(Ticket&& other) noexcept {
  if (this != &other) {
    Release();
    Deadline = other.Deadline;
    guard_ = std::exchange(other.guard_, nullptr);
    generation_ = other.generation_;
  }
  return *this;
}

bool ExchangeGuard::Ticket::Held() const {
  return guard_ != nullptr && guard_->held_ && guard_->generation_ == generation_;
}

void ExchangeGuard::Ticket::Release() {
  if (Held()) guard_->held_ = false;
  guard_ = nullptr;
}

ExchangeGuard::Ticket ExchangeGuard::Grant(Kind kind) {
  held_ = true;
  kind_ = kind;
  return Ticket(this, ++generation_);
}

ExchangeGuard::Ticket ExchangeGuard::TakeForPoll() {
  if (held_) return {};
  return Grant(Kind::Poll);
}

ExchangeGuard::Ticket ExchangeGuard::TakeForCommand() {
  if (held_ && kind_ == Kind::Command) return {};
  return Grant(Kind::Command);
}

}  // namespace qelt
