// From what nl80211 reports to the Windows records: PHY type, signal,
// grouping into networks, the list blocks and the interface records.
#include "wlan_records.h"

#include <gtest/gtest.h>
#include <linux/nl80211.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

namespace wlsurvey::nl80211 {
namespace {

struct phy_case {
  const char* name;
  friend void PrintTo(const phy_case& c, std::ostream* os) { *os << c.name; }
  std::uint32_t mhz;
  std::vector<std::uint16_t> rates;
  bool erp, ht, vht, he, eht;
  DOT11_PHY_TYPE expected;
};

class phy_type : public testing::TestWithParam<phy_case> {};

TEST_P(phy_type, is_the_newest_the_elements_show) {
  const phy_case& c = GetParam();
  ie_summary s;
  for (auto r : c.rates) s.rates[s.rate_count++] = r;
  s.has_erp = c.erp;
  s.has_ht = c.ht;
  s.has_vht = c.vht;
  s.has_he = c.he;
  s.has_eht = c.eht;
  EXPECT_EQ(infer_phy_type(s, c.mhz * 1000), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    records, phy_type,
    testing::Values(phy_case{"eht", 5180, {}, false, true, true, true, true, dot11_phy_type_eht},
                    phy_case{"he", 2412, {}, true, true, false, true, false, dot11_phy_type_he},
                    phy_case{"vht", 5180, {}, false, true, true, false, false, dot11_phy_type_vht},
                    phy_case{"ht", 2412, {0x8002}, true, true, false, false, false, dot11_phy_type_ht},
                    phy_case{"erp_element", 2412, {0x8002}, true, false, false, false, false, dot11_phy_type_erp},
                    phy_case{"ofdm_rates_on_2g", 2437, {0x8002, 12}, false, false, false, false, false,
                             dot11_phy_type_erp},
                    phy_case{"cck_rates", 2462, {0x8002, 0x8004, 11, 22}, false, false, false, false, false,
                             dot11_phy_type_hrdsss},
                    phy_case{"one_and_two_only", 2412, {0x8002, 0x8004}, false, false, false, false, false,
                             dot11_phy_type_dsss},
                    phy_case{"5g_without_ht", 5180, {0x800c, 18}, false, false, false, false, false,
                             dot11_phy_type_ofdm},
                    phy_case{"6g_without_he", 5955, {0x800c}, false, false, false, false, false,
                             dot11_phy_type_ofdm},
                    phy_case{"60g", 60480, {}, false, false, false, false, false, dot11_phy_type_dmg},
                    phy_case{"2g_no_rates", 2412, {}, false, false, false, false, false, dot11_phy_type_unknown}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(records, link_quality_is_linear_from_minus_100_to_minus_50_dbm) {
  const std::pair<LONG, ULONG> table[] = {{-120, 0}, {-100, 0}, {-99, 2}, {-75, 50}, {-51, 98}, {-50, 100}, {-20, 100}};
  for (auto [rssi, quality] : table) EXPECT_EQ(link_quality(rssi), quality) << rssi;
}

TEST(records, rssi_from_mbm_else_from_the_unspecified_scale) {
  scan_result r;
  r.has_signal_mbm = true;
  r.signal_mbm = -4500;
  EXPECT_EQ(rssi_dbm(r), -45);
  r.has_signal_mbm = false;
  r.has_signal_unspec = true;
  r.signal_unspec = 60;
  EXPECT_EQ(rssi_dbm(r), -70);
}

std::vector<std::uint8_t> ssid_ie(const std::string& s) {
  std::vector<std::uint8_t> v{0, static_cast<std::uint8_t>(s.size())};
  v.insert(v.end(), s.begin(), s.end());
  return v;
}

scan_result bss(std::uint8_t last, const std::string& ssid, std::uint16_t capability, std::int32_t mbm = -6000) {
  scan_result r;
  r.bssid = {0x02, 0, 0, 0, 0, last};
  r.frequency_khz = 2412000;
  r.has_signal_mbm = true;
  r.signal_mbm = mbm;
  r.beacon_interval = 100;
  r.capability = capability;
  r.ies = ssid_ie(ssid);
  r.ies.insert(r.ies.end(), {1, 4, 0x82, 0x84, 0x8b, 0x96});
  return r;
}

TEST(records, a_bss_record_carries_what_the_kernel_and_the_elements_say) {
  scan_result r = bss(7, "cafe", 0x0411, -4550);
  r.frequency_khz = 5180000 + 500;  // an offset in kHz is kept
  r.tsf = 123456;
  const WLAN_BSS_ENTRY e = describe(r).entry;
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(e.dot11Ssid.ucSSID), e.dot11Ssid.uSSIDLength), "cafe");
  EXPECT_EQ(std::memcmp(e.dot11Bssid, r.bssid.data(), 6), 0);
  EXPECT_EQ(e.dot11BssType, dot11_BSS_type_infrastructure);
  EXPECT_EQ(e.dot11BssPhyType, dot11_phy_type_ofdm);
  EXPECT_EQ(e.lRssi, -45);
  EXPECT_EQ(e.uLinkQuality, 100u);
  EXPECT_EQ(e.bInRegDomain, TRUE);
  EXPECT_EQ(e.usBeaconPeriod, 100);
  EXPECT_EQ(e.ullTimestamp, 123456u);
  EXPECT_EQ(e.usCapabilityInformation, 0x0411);
  EXPECT_EQ(e.ulChCenterFrequency, 5180500u);
  ASSERT_EQ(e.wlanRateSet.uRateSetLength, 8u);
  EXPECT_EQ(e.wlanRateSet.usRateSet[3], 0x8016);
}

TEST(records, bss_type_comes_from_the_capability_bits) {
  EXPECT_EQ(bss_type_of(0x0001), dot11_BSS_type_infrastructure);
  EXPECT_EQ(bss_type_of(0x0002), dot11_BSS_type_independent);
  EXPECT_EQ(bss_type_of(0x0000), dot11_BSS_type_any);  // mesh
}

std::string ssid_text(const DOT11_SSID& s) {
  return std::string(reinterpret_cast<const char*>(s.ucSSID), s.uSSIDLength);
}

// home open (1), home secured (2), home open again and associated (3), a
// hidden one (4), home open but ad hoc (5).
scan_snapshot crowded() {
  std::vector<scan_result> v{bss(1, "home", 0x0001, -9000), bss(2, "home", 0x0011), bss(3, "home", 0x0001, -6000),
                             bss(4, "", 0x0001), bss(5, "home", 0x0002)};
  v[2].associated = true;
  return scan_snapshot(std::move(v));
}

TEST(records, networks_group_by_ssid_type_and_security_in_first_seen_order) {
  const scan_snapshot s = crowded();
  const auto& n = s.networks();
  ASSERT_EQ(n.size(), 4u);
  EXPECT_EQ(ssid_text(n[0].dot11Ssid), "home");
  EXPECT_EQ(n[0].dot11BssType, dot11_BSS_type_infrastructure);
  EXPECT_EQ(n[0].bSecurityEnabled, FALSE);
  EXPECT_EQ(n[0].uNumberOfBssids, 2u);
  EXPECT_EQ(n[0].wlanSignalQuality, 80u);  // the better of -90 and -60 dBm
  EXPECT_EQ(n[0].dwFlags, WLAN_AVAILABLE_NETWORK_CONNECTED);
  EXPECT_EQ(n[0].bNetworkConnectable, TRUE);
  EXPECT_EQ(n[0].uNumberOfPhyTypes, 1u);
  EXPECT_EQ(n[0].dot11PhyTypes[0], dot11_phy_type_hrdsss);
  EXPECT_EQ(n[0].strProfileName[0], L'\0');

  EXPECT_EQ(n[1].bSecurityEnabled, TRUE);
  EXPECT_EQ(n[1].dot11DefaultCipherAlgorithm, DOT11_CIPHER_ALGO_WEP);
  EXPECT_EQ(n[1].dwFlags, 0u);
  EXPECT_EQ(n[2].dot11Ssid.uSSIDLength, 0u);
  EXPECT_EQ(n[3].dot11BssType, dot11_BSS_type_independent);
}

std::vector<std::uint8_t> last_bytes(const std::vector<const scanned_bss*>& v) {
  std::vector<std::uint8_t> out;
  for (const auto* b : v) out.push_back(b->entry.dot11Bssid[5]);
  return out;
}

TEST(records, bss_lists_come_from_the_one_snapshot) {
  const scan_snapshot s = crowded();
  DOT11_SSID home{4, {'h', 'o', 'm', 'e'}};
  using bytes = std::vector<std::uint8_t>;
  EXPECT_EQ(last_bytes(s.matching(&home, dot11_BSS_type_infrastructure, false)), (bytes{1, 3}));
  EXPECT_EQ(last_bytes(s.matching(&home, dot11_BSS_type_infrastructure, true)), (bytes{2}));
  EXPECT_EQ(last_bytes(s.matching(&home, dot11_BSS_type_any, false)), (bytes{1, 3, 5}));
  EXPECT_EQ(last_bytes(s.matching(nullptr, dot11_BSS_type_infrastructure, true)), (bytes{1, 2, 3, 4, 5}));
  DOT11_SSID hidden{};
  EXPECT_EQ(last_bytes(s.matching(&hidden, dot11_BSS_type_infrastructure, false)), (bytes{4}));
}

TEST(records, a_bss_list_is_one_block_with_each_bss_elements_after_the_entries) {
  const scan_snapshot s = crowded();
  const auto chosen = s.matching(nullptr, dot11_BSS_type_any, false);
  WLAN_BSS_LIST* list = make_bss_list(chosen);
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->dwNumberOfItems, 5u);
  std::size_t ies = 0;
  for (const auto* b : chosen) ies += b->raw.ies.size();
  EXPECT_EQ(list->dwTotalSize, offsetof(WLAN_BSS_LIST, wlanBssEntries) + 5 * sizeof(WLAN_BSS_ENTRY) + ies);
  const WLAN_BSS_ENTRY* entries = list->wlanBssEntries;
  for (std::size_t k = 0; k < 5; ++k) {
    const WLAN_BSS_ENTRY& e = entries[k];
    const auto& want = chosen[k]->raw.ies;
    ASSERT_EQ(e.ulIeSize, want.size());
    const auto* at = reinterpret_cast<const unsigned char*>(&e) + e.ulIeOffset;
    ASSERT_LE(at + e.ulIeSize, reinterpret_cast<const unsigned char*>(list) + list->dwTotalSize);
    EXPECT_EQ(std::memcmp(at, want.data(), want.size()), 0) << k;
  }
  std::free(list);

  WLAN_AVAILABLE_NETWORK_LIST* networks = make_network_list(s.networks());
  ASSERT_NE(networks, nullptr);
  EXPECT_EQ(networks->dwNumberOfItems, 4u);
  std::free(networks);
}

interface_facts station(const std::string& name) {
  interface_facts f;
  f.ifindex = 3;
  f.wiphy = 0;
  f.iftype = NL80211_IFTYPE_STATION;
  f.name = name;
  f.driver = "iwlwifi";
  f.permanent = {0x00, 0x21, 0x6a, 0x01, 0x02, 0x03};
  f.has_permanent = true;
  f.up = true;
  return f;
}

TEST(records, interface_state_table) {
  struct row {
    std::uint32_t iftype;
    bool up, ssid;
    WLAN_INTERFACE_STATE state;
  };
  const row table[] = {
      {NL80211_IFTYPE_STATION, false, true, wlan_interface_state_not_ready},
      {NL80211_IFTYPE_STATION, true, false, wlan_interface_state_disconnected},
      {NL80211_IFTYPE_STATION, true, true, wlan_interface_state_connected},
      {NL80211_IFTYPE_ADHOC, true, true, wlan_interface_state_ad_hoc_network_formed},
      {NL80211_IFTYPE_ADHOC, true, false, wlan_interface_state_disconnected},
  };
  for (const row& r : table) {
    interface_facts f = station("wlan0");
    f.iftype = r.iftype;
    f.up = r.up;
    f.has_ssid = r.ssid;
    EXPECT_EQ(interface_state(f), r.state) << r.iftype << r.up << r.ssid;
  }
}

TEST(records, only_interfaces_that_join_networks_are_listed) {
  EXPECT_TRUE(is_listed_type(NL80211_IFTYPE_STATION));
  EXPECT_TRUE(is_listed_type(NL80211_IFTYPE_P2P_CLIENT));
  EXPECT_TRUE(is_listed_type(NL80211_IFTYPE_ADHOC));
  EXPECT_FALSE(is_listed_type(NL80211_IFTYPE_AP));
  EXPECT_FALSE(is_listed_type(NL80211_IFTYPE_MONITOR));
  EXPECT_FALSE(is_listed_type(NL80211_IFTYPE_P2P_DEVICE));
}

TEST(records, description_is_the_name_and_the_driver) {
  EXPECT_EQ(std::wstring(interface_info(station("wlan0")).strInterfaceDescription), L"wlan0 (iwlwifi)");
  interface_facts f = station("wlp2s0");
  f.driver.clear();
  EXPECT_EQ(std::wstring(interface_info(f).strInterfaceDescription), L"wlp2s0");
  f.name = "w\xC3\xA9\xFF";  // UTF-8 é, then a byte that is no UTF-8
  EXPECT_EQ(std::wstring(interface_info(f).strInterfaceDescription), L"w\u00E9\uFFFD");
}

bool operator==(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::string guid_text(const GUID& g) {
  char text[40];
  std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}", static_cast<unsigned>(g.Data1),
                g.Data2, g.Data3, g.Data4[0], g.Data4[1], g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6],
                g.Data4[7]);
  return text;
}

TEST(records, guid_is_stable_per_radio_and_name_and_differs_otherwise) {
  const GUID g = interface_guid(station("wlan0"));
  // Pinned: a GUID that changed between versions would look like a new adapter.
  EXPECT_EQ(guid_text(g), "{2D12471A-F07A-8621-B35A-8639621829BC}");
  EXPECT_EQ(g.Data3 >> 12, 8);          // version 8
  EXPECT_EQ(g.Data4[0] & 0xC0, 0x80);   // RFC variant

  interface_facts other_name = station("wlan1");
  interface_facts other_radio = station("wlan0");
  other_radio.permanent[5] = 0x04;
  interface_facts no_address = station("wlan0");
  no_address.has_permanent = false;
  interface_facts other_wiphy = no_address;
  other_wiphy.wiphy = 1;
  EXPECT_FALSE(interface_guid(other_name) == g);
  EXPECT_FALSE(interface_guid(other_radio) == g);
  EXPECT_FALSE(interface_guid(no_address) == g);
  EXPECT_FALSE(interface_guid(other_wiphy) == interface_guid(no_address));
  // What changes from run to run does not move it.
  interface_facts later = station("wlan0");
  later.ifindex = 9;
  later.up = false;
  later.has_ssid = true;
  EXPECT_TRUE(interface_guid(later) == g);
}

}  // namespace
}  // namespace wlsurvey::nl80211
