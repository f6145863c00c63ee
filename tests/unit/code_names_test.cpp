#include "report/code_names.h"

#include <gtest/gtest.h>

#include <functional>

namespace wlsurvey {
namespace {

struct name_case {
  const char* family;
  std::function<void(std::string&, DWORD)> write;
  DWORD code;
  const char* expected;
};

void append_state(std::string& out, DWORD v) {
  append_interface_state_name(out, static_cast<LONG>(v));
}
void append_capability(std::string& out, DWORD v) {
  append_capability_tags(out, static_cast<USHORT>(v));
}

const name_case name_cases[] = {
    {"phy", print_phy_type, 0, "Unknown 0"},
    {"phy", print_phy_type, 1, "FHSS  frequency-hopping spread-spectrum"},
    {"phy", print_phy_type, 2, "DSSS  direct sequence spread spectrum"},
    {"phy", print_phy_type, 3, "IR    infrared"},
    {"phy", print_phy_type, 4, "OFDM  802.11a "},
    {"phy", print_phy_type, 5, "HRDSSS  high rate DSSS"},
    {"phy", print_phy_type, 6, "ERP   802.11g "},
    {"phy", print_phy_type, 7, "HT    802.11n "},
    {"phy", print_phy_type, 8, "VHT   802.11ac"},
    {"phy", print_phy_type, 9, "Unknown 9"},
    {"phy", print_phy_type, 10, "Unknown 10"},
    {"phy", print_phy_type, 4294967295u, "Unknown 4294967295"},
    {"bss type", append_bss_type_name, 1, "Infrastructure\n"},
    {"bss type", append_bss_type_name, 2, "Independent (Ad-hoc)\n"},
    {"bss type", append_bss_type_name, 3, "Other [3]\n"},
    {"bss type", append_bss_type_name, 0, "Other [0]\n"},
    {"auth", append_auth_name, 0, "Other [0]\n"},
    {"auth", append_auth_name, 1, "802.11 Open\n"},
    {"auth", append_auth_name, 2, "802.11 Shared\n"},
    {"auth", append_auth_name, 3, "WPA\n"},
    {"auth", append_auth_name, 4, "WPA-PSK\n"},
    {"auth", append_auth_name, 5, "WPA-None\n"},
    {"auth", append_auth_name, 6, "RSNA\n"},
    {"auth", append_auth_name, 7, "RSNA with PSK\n"},
    {"auth", append_auth_name, 8, "Other [8]\n"},
    {"auth", append_auth_name, 0x80000001u, "Other [2147483649]\n"},
    {"cipher", append_cipher_name, 0, "None\n"},
    {"cipher", append_cipher_name, 1, "WEP-40\n"},
    {"cipher", append_cipher_name, 2, "TKIP\n"},
    {"cipher", append_cipher_name, 3, "Other [3]\n"},
    {"cipher", append_cipher_name, 4, "CCMP\n"},
    {"cipher", append_cipher_name, 5, "WEP-104\n"},
    {"cipher", append_cipher_name, 6, "Other [6]\n"},
    {"cipher", append_cipher_name, 0x100, "Other [100]\n"},
    {"cipher", append_cipher_name, 0x101, "WEP\n"},
    {"cipher", append_cipher_name, 0xff00ff, "Other [ff00ff]\n"},
    {"state", append_state, 0, "Not ready\n"},
    {"state", append_state, 1, "Connected\n"},
    {"state", append_state, 2, "First node in an ad hoc network\n"},
    {"state", append_state, 3, "Disconnecting\n"},
    {"state", append_state, 4, "Not connected\n"},
    {"state", append_state, 5, "Attempting to associate with a network\n"},
    {"state", append_state, 6, "Auto configuration is discovering settings for the network\n"},
    {"state", append_state, 7, "In process of authenticating\n"},
    {"state", append_state, 8, "Unknown state 8\n"},
    {"state", append_state, 0xFFFFFFFFu, "Unknown state -1\n"},
    {"capability", append_capability, 0x0000, ""},
    {"capability", append_capability, 0x0001, "[AP]"},
    {"capability", append_capability, 0x0002, "[Ad-hoc]"},
    {"capability", append_capability, 0x0003, ""},
    {"capability", append_capability, 0x0411, "[AP][privacy]"},
    {"capability", append_capability, 0x0012, "[Ad-hoc][privacy]"},
    {"capability", append_capability, 0x001D, "[AP][pollable][poll-request][privacy]"},
    {"capability", append_capability, 0xFFE0, ""},
    {"flags", append_flag_tags, 0x0, ""},
    {"flags", append_flag_tags, 0x3, "[Currently connected][Has profile]"},
    {"flags", append_flag_tags, 0x200, ""},
    {"flags", append_flag_tags, 0xFFFFFFFF,
     "[Currently connected][Has profile][Console user profile][Interworking supported]"
     "[Hotspot2 enabled][ANQP supported][Domain network][Roaming network]"
     "[Autoconnect failed]"},
};

TEST(code_names, every_family_names_its_codes_exactly) {
  for (const auto& c : name_cases) {
    std::string out = "<";
    c.write(out, c.code);
    EXPECT_EQ(out, std::string("<") + c.expected) << c.family << " " << c.code;
  }
}

}  // namespace
}  // namespace wlsurvey
