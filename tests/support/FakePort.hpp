#pragma once
// A port whose replies are scripted per written byte, delivered on the
// virtual clock. Records everything written with its time.
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/SerialPort.hpp"
#include "platform/VirtualHost.hpp"

namespace qelt::test {

class FakePort : public SerialPort {
 public:
  struct Chunk {
    double after;  // seconds after the write
    std::string bytes;
  };
  // Given one written byte, the chunks to deliver.
  using Responder = std::function<std::vector<Chunk>(char written)>;

  explicit FakePort(VirtualHost& host) : host_(host) {
    // Wakes the clock only for bytes still to come: a byte that has arrived
    // but is not read yet must not stop time.
    source_ = host_.AddWakeSource([this] {
      for (auto& chunk : incoming_)
        if (chunk.first > host_.Monotonic()) return chunk.first;
      return VirtualHost::Never;
    });
  }
  ~FakePort() override { host_.RemoveWakeSource(source_); }

  Responder Reply;
  std::vector<std::pair<double, char>> Written;

  bool Open(const std::string&, const std::string&, std::string&) override { return open_ = true; }
  bool IsOpen() const override { return open_; }
  void Write(std::string_view bytes) override {
    for (char c : bytes) {
      Written.emplace_back(host_.Monotonic(), c);
      if (!Reply) continue;
      for (auto& chunk : Reply(c)) Deliver(host_.Monotonic() + chunk.after, chunk.bytes);
    }
  }
  std::string ReadAll() override {
    Collect();
    return std::exchange(received_, {});
  }
  std::size_t Pending() override {
    Collect();
    return received_.size();
  }
  void Deliver(double at, std::string bytes) {
    auto it = incoming_.begin();
    while (it != incoming_.end() && it->first <= at) ++it;
    incoming_.insert(it, {at, std::move(bytes)});
  }
  std::string WrittenText() const {
    std::string s;
    for (auto& w : Written) s += w.second;
    return s;
  }
  int Count(char c) const {
    int n = 0;
    for (auto& w : Written) n += w.second == c;
    return n;
  }

 private:
  void Collect() {
    while (!incoming_.empty() && incoming_.front().first <= host_.Monotonic()) {
      received_ += incoming_.front().second;
      incoming_.pop_front();
    }
  }
  VirtualHost& host_;
  int source_ = 0;
  bool open_ = false;
  std::deque<std::pair<double, std::string>> incoming_;
  std::string received_;
};

}  // namespace qelt::test
