#include "scenario.h"

#include <gtest/gtest.h>

#include <cwchar>

namespace wlsurvey::sim {
namespace {

TEST(scenario, defaults) {
  scenario w;
  std::string error;
  ASSERT_TRUE(parse_scenario(R"({"interfaces": [{"networks": [{"bss": [{}]}]}, {}]})", w, error))
      << error;
  EXPECT_EQ(w.version, 2u);
  EXPECT_FALSE(w.debugger);
  ASSERT_EQ(w.interfaces.size(), 2u);
  EXPECT_EQ(w.interfaces[0].info.isState, 4);
  EXPECT_EQ(w.interfaces[0].info.strInterfaceDescription[0], 0);
  EXPECT_EQ(w.interfaces[1].info.InterfaceGuid.Data4[7], 1);
  const auto& n = w.interfaces[0].networks[0].entry;
  EXPECT_EQ(n.dot11BssType, 1u);
  EXPECT_EQ(n.bNetworkConnectable, TRUE);
  EXPECT_EQ(n.bSecurityEnabled, FALSE);
  EXPECT_EQ(n.dot11DefaultAuthAlgorithm, 1u);
  EXPECT_EQ(n.uNumberOfBssids, 1u);
}

TEST(scenario, held_values_and_raw_overrides) {
  scenario w;
  std::string error;
  std::string rates = "[";
  for (int k = 0; k < 130; ++k) rates += (k ? ",2" : "2");
  rates += "]";
  ASSERT_TRUE(parse_scenario(R"({"interfaces": [{
      "guid": "{0a1B2c3D-0000-1111-2222-333344445555}",
      "description": ")" + std::string(300, 'd') +
                                 R"(",
      "notifications": [{"tick": 4, "interface": 0}],
      "networks": [{"ssid_hex": "00ff1b", "ssid_length": 40, "bss": [
          {"ssid": ")" + std::string(40, 's') +
                                 R"(", "rates": )" + rates + R"(},
          {"rates": [1, 2, 3], "rate_set_length": 300}]}]}]})",
                             w, error))
      << error;
  const auto& iface = w.interfaces[0];
  EXPECT_EQ(iface.info.InterfaceGuid.Data1, 0x0A1B2C3Du);
  EXPECT_EQ(iface.info.InterfaceGuid.Data4[7], 0x55);
  EXPECT_EQ(iface.info.strInterfaceDescription[255], L'd');  // 256 held, no terminator
  EXPECT_EQ(iface.notifications[0].interface_guid.Data1, 0x0A1B2C3Du);
  const auto& n = iface.networks[0];
  EXPECT_EQ(n.entry.dot11Ssid.uSSIDLength, 40u);
  EXPECT_EQ(n.entry.dot11Ssid.ucSSID[1], 0xFF);
  EXPECT_EQ(n.bss[0].dot11Ssid.uSSIDLength, 40u);
  EXPECT_EQ(n.bss[0].wlanRateSet.uRateSetLength, 260u);
  EXPECT_EQ(n.bss[0].wlanRateSet.usRateSet[125], 2);
  EXPECT_EQ(n.bss[1].dot11Ssid.ucSSID[2], 0x1B);  // the network's SSID
  EXPECT_EQ(n.bss[1].wlanRateSet.uRateSetLength, 300u);
}

TEST(scenario, problems_are_named_with_their_place) {
  struct bad_case {
    const char* text;
    const char* error;
  };
  const bad_case cases[] = {
      {"", "not valid JSON"},
      {"[]", "scenario: expected an object"},
      {R"({"verison": 2})", "scenario: unknown key \"verison\""},
      {R"({"version": -1})", "scenario.version: out of range"},
      {R"({"version": 2.5})", "scenario.version: expected an integer"},
      {R"({"debugger": 1})", "scenario.debugger: expected true or false"},
      {R"({"faults": [{"call": "WlanConnect"}]})", "faults[0].call: unknown call \"WlanConnect\""},
      {R"({"faults": [{"nth": 1}]})", "faults[0]: missing \"call\""},
      {R"({"faults": [{"call": "WlanScan", "nth": 0}]})", "faults[0].nth: counts from 1"},
      {R"({"faults": [{"call": "WlanScan", "result": 4294967296}]})",
       "faults[0].result: out of range"},
      {R"({"interfaces": {}})", "scenario.interfaces: expected an array"},
      {R"({"interfaces": [{"guid": "3F1C2A9E-7B4D-4E21-9A6F-0C5D8E2B1A47"}]})",
       "interfaces[0].guid: expected \"{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}\""},
      {R"({"interfaces": [{"notifications": [{"tick": 1, "interface": 3}]}]})",
       "interfaces[0].notifications[0].interface: expected an interface index or a GUID text"},
      {R"({"interfaces": [{"networks": [{"ssid": "a", "ssid_hex": "61"}]}]})",
       "interfaces[0].networks[0]: \"ssid\" and \"ssid_hex\" exclude each other"},
      {R"({"interfaces": [{"networks": [{"ssid_hex": "6"}]}]})",
       "interfaces[0].networks[0].ssid_hex: expected pairs of hex digits"},
      {R"({"interfaces": [{"networks": [{"bss": [{"bssid": "00-11-22-33-44-55"}]}]}]})",
       "interfaces[0].networks[0].bss[0].bssid: expected \"aa:bb:cc:dd:ee:ff\""},
      {R"({"interfaces": [{"networks": [{"bss": [{"rates": [65536]}]}]}]})",
       "interfaces[0].networks[0].bss[0].rates[0]: expected a 16-bit rate"},
      {R"({"interfaces": [{"networks": [{"bss": [{"rssi": "-60"}]}]}]})",
       "interfaces[0].networks[0].bss[0].rssi: expected an integer"},
      {R"({"interfaces": [{"networks": [{"bss": [{"channel": 6}]}]}]})",
       "interfaces[0].networks[0].bss[0]: unknown key \"channel\""},
  };
  for (const auto& c : cases) {
    scenario w;
    std::string error;
    EXPECT_FALSE(parse_scenario(c.text, w, error)) << c.text;
    EXPECT_EQ(error, c.error) << c.text;
  }
}

}  // namespace
}  // namespace wlsurvey::sim
