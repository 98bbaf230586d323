#pragma once
// One owner of the port at a time. Every wait runs the event loop, so a
// command can start inside a live poll's wait: it takes the port from the
// poll at once, and the poll, when its wait returns, sees that its ticket is
// no longer held and ends its tick without touching the port or the readings.
#include <cstdint>
#include <limits>

namespace qelt {

class ExchangeGuard {
 public:
  enum class Kind { Poll, Command };

  class Ticket {
   public:
    Ticket() = default;
    Ticket(Ticket&& other) noexcept;
    Ticket& operator=(Ticket&& other) noexcept;
    Ticket(const Ticket&) = delete;
    Ticket& operator=(const Ticket&) = delete;
    ~Ticket() { Release(); }

    // Still the port's owner.
    bool Held() const;
    explicit operator bool() const { return Held(); }
    void Release();

    // Monotonic time past which the exchange gives up (the command-line
    // tool's --timeout); infinity in the program.
    double Deadline = std::numeric_limits<double>::infinity();

   private:
    friend class ExchangeGuard;
    Ticket(ExchangeGuard* guard, std::uint64_t generation) : guard_(guard), generation_(generation) {}
    ExchangeGuard* guard_ = nullptr;
    std::uint64_t generation_ = 0;
  };

  // A poll tick: refused while anything holds the port (ticks never overlap).
  Ticket TakeForPoll();
  // Any other exchange: takes the port from a poll at once; refused while
  // another command holds it.
  Ticket TakeForCommand();
  // Program end: takes the port from whatever holds it, poll or command, so
  // that every exchange waiting further down the stack ends.
  Ticket TakeForShutdown() { return Grant(Kind::Command); }

  bool Busy() const { return held_; }
  bool CommandActive() const { return held_ && kind_ == Kind::Command; }

 private:
  Ticket Grant(Kind kind);
  bool held_ = false;
  Kind kind_ = Kind::Poll;
  std::uint64_t generation_ = 0;
};

}  // namespace qelt
