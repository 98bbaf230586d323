// What the port window's text names and how opening it fails.
#include <gtest/gtest.h>

#include "link/Link.hpp"
#include "link/PortChoice.hpp"
#include "platform/VirtualHost.hpp"
#include "sim/Instrument.hpp"
#include "sim/SimPort.hpp"

namespace qelt {
namespace {

TEST(PortChoice, AcceptedTexts) {
  PortChoice c = ChoosePort("COM12");
  EXPECT_TRUE(c.Named);
  EXPECT_EQ(c.ComPort, 12);
  EXPECT_EQ(c.Device, DeviceForComPort(12));

  c = ChoosePort("Auto");
  EXPECT_TRUE(c.Named);
  EXPECT_EQ(c.ComPort, 1);

  c = ChoosePort("/dev/ttyUSB0");
  EXPECT_TRUE(c.Named);
  EXPECT_EQ(c.ComPort, 0);
  EXPECT_EQ(c.Device, "/dev/ttyUSB0");

  for (const char* text : {"com3", "COM0", "COM17", "auto", "", " COM3", "COM3 ", "ttyUSB0", "COM"}) {
    EXPECT_FALSE(ChoosePort(text).Named) << text;
    EXPECT_EQ(ChoosePort(text).ComPort, 0) << text;
  }
}

struct PortRig {
  VirtualHost host;
  Instrument instrument;
  SimPort port{host, instrument};
  MeterState meter;
};

TEST(PortChoice, OpeningStoresThePortOnlyWhenItOpened) {
  PortRig rig;
  EXPECT_EQ(OpenChosenPort(rig.port, rig.meter, "COM12"), "");
  EXPECT_TRUE(rig.port.IsOpen());
  EXPECT_EQ(rig.port.Device(), DeviceForComPort(12));
  EXPECT_EQ(rig.port.Settings(), "19200,n,8,1");
  EXPECT_EQ(rig.meter.ComPort, 12);
  EXPECT_EQ(rig.meter.PortDevice, DeviceForComPort(12));
  // Opening alone writes nothing: "E" is the main window's.
  EXPECT_EQ(rig.port.Written(), "");

  PortRig path;
  EXPECT_EQ(OpenChosenPort(path.port, path.meter, "/dev/pts/7"), "");
  EXPECT_EQ(path.meter.ComPort, 0);
  EXPECT_EQ(path.meter.PortDevice, "/dev/pts/7");
  EXPECT_EQ(PortLabelFor(path.meter.PortDevice, path.meter.ComPort), "pts/7");
}

TEST(PortChoice, RefusalsNameThePortAndTheReason) {
  PortRig rig;
  std::string message = OpenChosenPort(rig.port, rig.meter, "com3");
  EXPECT_NE(message.find("\"com3\""), std::string::npos) << message;
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_EQ(rig.meter.ComPort, 0);
  EXPECT_EQ(rig.meter.PortDevice, "");

  rig.port.SetOpenError("Permission denied");
  message = OpenChosenPort(rig.port, rig.meter, "COM5");
  EXPECT_NE(message.find("COM5"), std::string::npos) << message;
  EXPECT_NE(message.find(DeviceForComPort(5)), std::string::npos) << message;
  EXPECT_NE(message.find("Permission denied"), std::string::npos) << message;
  EXPECT_EQ(rig.meter.ComPort, 0);

  message = OpenChosenPort(rig.port, rig.meter, "/dev/ttyUSB3");
  EXPECT_NE(message.find("/dev/ttyUSB3"), std::string::npos) << message;
  EXPECT_EQ(rig.meter.PortDevice, "");

  // The next choice works once the reason is gone.
  rig.port.SetOpenError("");
  EXPECT_EQ(OpenChosenPort(rig.port, rig.meter, "Auto"), "");
  EXPECT_EQ(rig.meter.ComPort, 1);
}

}  // namespace
}  // namespace qelt
