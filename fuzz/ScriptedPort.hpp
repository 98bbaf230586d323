#pragma once
// A port on the virtual clock whose replies come from fuzz bytes: every byte
// written takes the next piece of the script, [delay][length][bytes], and
// gets those bytes delay * 0.04 s later. Once the script is spent the port
// echoes "w" and stays silent otherwise, so that every exchange ends.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "FakePort.hpp"

namespace qelt::fuzz {

class ScriptedPort : public test::FakePort {
 public:
  ScriptedPort(VirtualHost& host, std::string_view script) : FakePort(host), script_(script) {
    Reply = [this](char written) { return Next(written); };
  }

 private:
  std::vector<Chunk> Next(char written) {
    if (script_.size() < 2) {
      if (written == 'w') return {{0.003, "w"}};
      return {};
    }
    const double delay = (static_cast<std::uint8_t>(script_[0]) & 0x7f) * 0.04;
    const std::size_t length = std::min<std::size_t>(static_cast<std::uint8_t>(script_[1]), script_.size() - 2);
    std::string bytes(script_.substr(2, length));
    script_.remove_prefix(2 + length);
    if (bytes.empty()) return {};
    return {{delay, std::move(bytes)}};
  }

  std::string_view script_;
};

}  // namespace qelt::fuzz
