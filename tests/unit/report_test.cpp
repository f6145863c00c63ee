#include "report/report.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <vector>

#include "capture_console.h"

namespace wlsurvey {
namespace {

constexpr run_flags full_form{false, false};
constexpr run_flags quiet_form{true, false};
constexpr run_flags short_form{true, true};

WLAN_BSS_ENTRY make_bss(std::initializer_list<UCHAR> mac, const char* ssid, ULONG khz,
                        ULONG quality, LONG rssi, DWORD phy) {
  WLAN_BSS_ENTRY b{};
  std::copy(mac.begin(), mac.end(), b.dot11Bssid);
  b.dot11Ssid.uSSIDLength = static_cast<ULONG>(std::strlen(ssid));
  std::memcpy(b.dot11Ssid.ucSSID, ssid, b.dot11Ssid.uSSIDLength);
  b.dot11BssType = dot11_BSS_type_infrastructure;
  b.dot11BssPhyType = static_cast<DOT11_PHY_TYPE>(phy);
  b.ulChCenterFrequency = khz;
  b.uLinkQuality = quality;
  b.lRssi = rssi;
  return b;
}

// A BSS list laid out as the platform hands it out: the entries follow the header.
class bss_list {
 public:
  explicit bss_list(const std::vector<WLAN_BSS_ENTRY>& entries)
      : storage_(sizeof(WLAN_BSS_LIST) + entries.size() * sizeof(WLAN_BSS_ENTRY)) {
    auto* list = get();
    list->dwNumberOfItems = static_cast<DWORD>(entries.size());
    if (!entries.empty()) {
      std::memcpy(list->wlanBssEntries, entries.data(), entries.size() * sizeof(WLAN_BSS_ENTRY));
    }
  }
  WLAN_BSS_LIST* get() { return reinterpret_cast<WLAN_BSS_LIST*>(storage_.data()); }

 private:
  std::vector<unsigned char> storage_;
};

void set_name(WCHAR* field, const wchar_t* text) {
  for (std::size_t k = 0; (field[k] = static_cast<WCHAR>(text[k])) != 0; ++k) {
  }
}

std::string report(const run_flags& flags, const WLAN_AVAILABLE_NETWORK& n,
                   const std::vector<WLAN_BSS_ENTRY>& entries, int i = 0, int m = 0) {
  testing::capture_console out;
  bss_list list(entries);
  report_network(out, flags, i, m, n, *list.get());
  EXPECT_EQ(out.err, "");
  return out.out;
}

TEST(report, short_record_lines_up_the_fields) {
  WLAN_AVAILABLE_NETWORK n{};
  const auto home = make_bss({0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}, "home", 2412000, 80, -60, 7);
  auto strong = make_bss({0xff, 0xff, 0xff, 0xff, 0xff, 0xff}, "a", 5745000, 100, -30, 8);
  auto weak = make_bss({0x02, 0x00, 0x00, 0x00, 0x00, 0x01}, "b", 2484000, 5, -95, 10);
  EXPECT_EQ(report(short_form, n, {home, strong, weak}),
            "00:1a:2b:3c:4d:5e  2.412   80 -60  HT    802.11n   home\n"
            "ff:ff:ff:ff:ff:ff  5.745  100 -30  VHT   802.11ac  a\n"
            "02:00:00:00:00:01  2.484    5 -95  Unknown 10  b\n");
}

TEST(report, full_block_for_each_bss_repeats_the_network_values) {
  WLAN_AVAILABLE_NETWORK n{};
  set_name(n.strProfileName, L"office");
  n.bNetworkConnectable = TRUE;
  n.bSecurityEnabled = TRUE;
  n.dot11DefaultAuthAlgorithm = DOT11_AUTH_ALGO_RSNA_PSK;
  n.dot11DefaultCipherAlgorithm = DOT11_CIPHER_ALGO_CCMP;
  n.dwFlags = 0x203;
  auto a = make_bss({0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5e}, "office", 2412000, 80, -60, 7);
  a.bInRegDomain = 1;
  a.usBeaconPeriod = 100;
  a.usCapabilityInformation = 0x0411;
  a.wlanRateSet.uRateSetLength = 8;  // four entries
  const USHORT rates[] = {0x8002, 0x000B, 0x806C, 0x0012, 0x0024};
  std::copy(std::begin(rates), std::end(rates), a.wlanRateSet.usRateSet);
  auto b = make_bss({0x00, 0x1a, 0x2b, 0x3c, 0x4d, 0x5f}, "office", 5180000, 5, -95, 4);
  b.usCapabilityInformation = 0x0003;
  EXPECT_EQ(report(full_form, n, {a, b}, 1, 2),
            "  [office]\n"
            "  [1][2] SSID              office\n"
            "  [1][2] BSSID             00:1a:2b:3c:4d:5e\n"
            "  [1][2] Type              Infrastructure\n"
            "  [1][2] Signal quality    80  RSSI  -60 dBm\n"
            "  [1][2] Frequency         2.412 GHz\n"
            "  [1][2] Beacon period     100\n"
            "  [1][2] Reg domain        true\n"
            "  [1][2] PHY type    HT    802.11n \n"
            "  [1][2] Rate              1 5 54 9 \n"
            "  [1][2] Capability  0411  [AP][privacy]\n"
            "  [1][2] Connectable       Yes\n"
            "  [1][2] Security          RSNA with PSK\n"
            "  [1][2] Default cypher    CCMP\n"
            "  [1][2] Flags             203  [Currently connected][Has profile]\n"
            "\n"
            "  [1][2] SSID              office\n"
            "  [1][2] BSSID             00:1a:2b:3c:4d:5f\n"
            "  [1][2] Type              Infrastructure\n"
            "  [1][2] Signal quality    5  RSSI  -95 dBm\n"
            "  [1][2] Frequency         5.180 GHz\n"
            "  [1][2] Beacon period     0\n"
            "  [1][2] Reg domain        false\n"
            "  [1][2] PHY type    OFDM  802.11a \n"
            "  [1][2] Rate              \n"
            "  [1][2] Capability  0003  \n"
            "  [1][2] Connectable       Yes\n"
            "  [1][2] Security          RSNA with PSK\n"
            "  [1][2] Default cypher    CCMP\n"
            "  [1][2] Flags             203  [Currently connected][Has profile]\n"
            "\n"
            "\n");
  EXPECT_EQ(report(quiet_form, n, {a, b}), "office\noffice\n");
}

TEST(report, open_network_that_cannot_be_joined) {
  WLAN_AVAILABLE_NETWORK n{};
  n.wlanNotConnectableReason = 0x00028002;
  n.dot11DefaultAuthAlgorithm = DOT11_AUTH_ALGO_80211_OPEN;
  n.dot11DefaultCipherAlgorithm = DOT11_CIPHER_ALGO_NONE;
  auto a = make_bss({1, 2, 3, 4, 5, 6}, "cafe", 2437000, 34, -83, 6);
  a.dot11BssType = dot11_BSS_type_independent;
  a.usCapabilityInformation = 0x0012;
  const std::string out = report(full_form, n, {a});
  EXPECT_NE(out.find("  [0][0] Type              Independent (Ad-hoc)\n"), std::string::npos);
  EXPECT_NE(out.find("  [0][0] Capability  0012  [Ad-hoc][privacy]\n"), std::string::npos);
  EXPECT_NE(out.find("  [0][0] Connectable       No: 163842\n"
                     "  [0][0] Security No       802.11 Open\n"
                     "  [0][0] Default cypher    None\n"
                     "  [0][0] Flags             0  \n\n\n"),
            std::string::npos);
}

TEST(report, empty_list_prints_profile_and_one_blank_line) {
  WLAN_AVAILABLE_NETWORK n{};
  set_name(n.strProfileName, L"lab");
  EXPECT_EQ(report(full_form, n, {}), "  [lab]\n\n");
  EXPECT_EQ(report(quiet_form, n, {}), "");
  EXPECT_EQ(report(short_form, n, {}), "");
}

TEST(report, hidden_network_prints_an_empty_ssid) {
  WLAN_AVAILABLE_NETWORK n{};
  const auto hidden = make_bss({0x12, 0x34, 0x56, 0x78, 0x9a, 0xbc}, "", 5745000, 20, -90, 7);
  EXPECT_EQ(report(quiet_form, n, {hidden}), "\n");
  EXPECT_EQ(report(short_form, n, {hidden}),
            "12:34:56:78:9a:bc  5.745   20 -90  HT    802.11n   \n");
  const std::string head = "  [0][0] SSID              \n  [0][0] BSSID";
  EXPECT_EQ(report(full_form, n, {hidden}).substr(0, head.size()), head);
}

// SSIDs are whatever a transmitter nearby chose: terminal controls must not
// reach the terminal, and UTF-8 must reach it unchanged.
TEST(report, ssid_bytes_are_written_safely) {
  WLAN_AVAILABLE_NETWORK n{};
  struct ssid_case {
    std::vector<UCHAR> bytes;
    const char* shown;
  };
  const ssid_case cases[] = {
      {{'c', 'a', 'f', 0xC3, 0xA9}, "caf\xC3\xA9"},
      {{0x1B, '[', '2', 'J', 'x'}, "\\x1b[2Jx"},
      {{'a', '\r', '\n', 'b', 0x00, 0x7F, 0x80, 0xFF}, "a\\x0d\\x0ab\\x00\\x7f\x80\xFF"},
      {{'\\', 'x'}, "\\x"},
  };
  for (const auto& c : cases) {
    auto b = make_bss({0, 0, 0, 0, 0, 1}, "", 0, 0, 0, 0);
    b.dot11Ssid.uSSIDLength = static_cast<ULONG>(c.bytes.size());
    std::copy(c.bytes.begin(), c.bytes.end(), b.dot11Ssid.ucSSID);
    EXPECT_EQ(report(quiet_form, n, {b}), std::string(c.shown) + "\n");
  }
}

// Lengths beyond the records' arrays are never followed past the record.
TEST(report, lengths_beyond_the_record_are_clamped) {
  WLAN_AVAILABLE_NETWORK n{};
  auto b = make_bss({0, 0, 0, 0, 0, 1}, "", 1000, 0, 0, 0);
  std::memset(b.dot11Ssid.ucSSID, 'A', sizeof b.dot11Ssid.ucSSID);
  b.dot11Ssid.uSSIDLength = 0xFFFFFFFF;
  for (auto& r : b.wlanRateSet.usRateSet) r = 0x0002;
  b.wlanRateSet.uRateSetLength = 0xFFFFFFFF;
  std::string rates;
  for (int k = 0; k < 126; ++k) rates += "1 ";
  const std::string out = report(full_form, n, {b});
  EXPECT_NE(out.find("SSID              " + std::string(32, 'A') + "\n"), std::string::npos);
  EXPECT_NE(out.find("Rate              " + rates + "\n"), std::string::npos);
  EXPECT_NE(out.find("Frequency         0.001 GHz\n"), std::string::npos);

  b.wlanRateSet.uRateSetLength = 5;  // an odd byte count holds two whole entries
  EXPECT_NE(report(full_form, n, {b}).find("Rate              1 1 \n"), std::string::npos);
}

TEST(report, profile_name_is_escaped_and_bounded) {
  WLAN_AVAILABLE_NETWORK n{};
  set_name(n.strProfileName, L"a\x1b[31mb");
  EXPECT_EQ(report(full_form, n, {}), "  [a\\x1b[31mb]\n\n");
  for (auto& c : n.strProfileName) c = L'p';  // no terminator at all
  EXPECT_EQ(report(full_form, n, {}), "  [" + std::string(256, 'p') + "]\n\n");
}

}  // namespace
}  // namespace wlsurvey
