#include <gtest/gtest.h>

#include <map>

#include "link/PortSearch.hpp"
#include "platform/VirtualHost.hpp"
#include "sim/Instrument.hpp"
#include "sim/SimPort.hpp"

namespace qelt {
namespace {

// Opens the simulated instrument behind each device name; an unknown name cannot be opened.
class RoutedPort : public SerialPort {
 public:
  RoutedPort(VirtualHost& host, std::map<std::string, Instrument*>& devices) : host_(host), devices_(devices) {}
  bool Open(const std::string& device, const std::string& settings, std::string& error) override {
    auto it = devices_.find(device);
    if (it == devices_.end()) {
      error = "No such file or directory";
      return false;
    }
    port_ = std::make_unique<SimPort>(host_, *it->second);
    return port_->Open(device, settings, error);
  }
  bool IsOpen() const override { return port_ && port_->IsOpen(); }
  void Write(std::string_view bytes) override { port_->Write(bytes); }
  std::string ReadAll() override { return port_->ReadAll(); }
  std::size_t Pending() override { return port_->Pending(); }

 private:
  VirtualHost& host_;
  std::map<std::string, Instrument*>& devices_;
  std::unique_ptr<SimPort> port_;
};

TEST(PortSearch, FirstPortThatAnswersTheWakeUpIsChosen) {
  VirtualHost host;
  Instrument silent, answering;
  silent.Faults().Silent = true;
  std::map<std::string, Instrument*> devices{{"/dev/ttyUSB0", &silent}, {"/dev/ttyUSB1", &answering}};
  auto make = [&] { return std::make_unique<RoutedPort>(host, devices); };

  const double start = host.Monotonic();
  PortSearchResult found = FindInstrumentPort(host, {"/dev/ttyS0", "/dev/ttyUSB0", "/dev/ttyUSB1"}, make, 2.5);
  EXPECT_EQ(found.Device, "/dev/ttyUSB1");
  ASSERT_EQ(found.Refused.size(), 2u);
  EXPECT_EQ(found.Refused[0].Device, "/dev/ttyS0");
  EXPECT_EQ(found.Refused[0].Reason, "No such file or directory");
  EXPECT_EQ(found.Refused[1].Reason, "no answer");
  // The silent port was given up after its 2.5 s, not the whole link-lost cycle.
  EXPECT_LT(host.Monotonic() - start, 3.0);

  EXPECT_TRUE(FindInstrumentPort(host, {"/dev/ttyUSB0"}, make, 1.0).Device.empty());
  EXPECT_TRUE(FindInstrumentPort(host, {}, make).Device.empty());
}

TEST(PortSearch, CandidateList) {
  EXPECT_EQ(SplitDeviceList("/dev/a, /dev/b ,,COM3"), (std::vector<std::string>{"/dev/a", "/dev/b", "COM3"}));
  EXPECT_TRUE(SplitDeviceList(" , ").empty());
}

}  // namespace
}  // namespace qelt
