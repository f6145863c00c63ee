#pragma once
// What nl80211 reports, turned into the Windows WLAN records: the netlink-free
// half of the backend. The libnl half only fills scan_result and
// interface_facts; everything decided from them is here and tested alone.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ie_parser.h"
#include "wlan_types.h"

namespace wlsurvey::nl80211 {

// One BSS of a scan dump, as the kernel gave it.
struct scan_result {
  std::array<std::uint8_t, 6> bssid{};
  std::uint32_t frequency_khz = 0;
  bool has_signal_mbm = false;
  std::int32_t signal_mbm = 0;
  bool has_signal_unspec = false;  // drivers without dBm give 0..100
  std::uint8_t signal_unspec = 0;
  std::uint16_t beacon_interval = 0;
  std::uint16_t capability = 0;
  std::uint64_t tsf = 0;
  std::uint64_t host_timestamp = 0;  // 100 ns units since 1601, as FILETIME
  bool associated = false;           // NL80211_BSS_STATUS associated or IBSS joined
  std::vector<std::uint8_t> ies;     // probe response elements, else the beacon's
};

// Signal in dBm: from mBm when the driver has it, else scaled from 0..100.
LONG rssi_dbm(const scan_result& r);
// 0 at -100 dBm, 100 at -50 dBm, linear between, clamped.
ULONG link_quality(LONG rssi);
DOT11_PHY_TYPE infer_phy_type(const ie_summary& ie, std::uint32_t frequency_khz);

struct security {
  bool enabled = false;
  DOT11_AUTH_ALGORITHM auth = DOT11_AUTH_ALGO_80211_OPEN;
  DOT11_CIPHER_ALGORITHM cipher = DOT11_CIPHER_ALGO_NONE;
};
// RSN before WPA before the privacy bit; of several suites, the strongest.
security security_of(const ie_summary& ie, std::uint16_t capability);

DOT11_BSS_TYPE bss_type_of(std::uint16_t capability);

struct scanned_bss {
  scan_result raw;
  ie_summary ie;
  WLAN_BSS_ENTRY entry{};  // everything but the element offsets
  security sec;
};

scanned_bss describe(scan_result r);

// One interface's scan dump, kept for the run's network and BSS lists.
class scan_snapshot {
 public:
  explicit scan_snapshot(std::vector<scan_result> results);

  // Networks by (SSID bytes, BSS type, security) in first-seen order.
  const std::vector<WLAN_AVAILABLE_NETWORK>& networks() const { return networks_; }
  // The BSSs the Windows call would return: a null SSID means all of them,
  // dot11_BSS_type_any matches every type.
  std::vector<const scanned_bss*> matching(const DOT11_SSID* ssid, DOT11_BSS_TYPE type,
                                           bool security_enabled) const;
  std::size_t size() const { return bss_.size(); }

 private:
  std::vector<scanned_bss> bss_;
  std::vector<WLAN_AVAILABLE_NETWORK> networks_;
};

// Lists are one malloc'd block each, as WlanFreeMemory (free) expects. The
// BSS list carries each BSS's elements after the entries, ulIeOffset counted
// from its entry as on Windows. Null when memory runs out.
WLAN_AVAILABLE_NETWORK_LIST* make_network_list(const std::vector<WLAN_AVAILABLE_NETWORK>& networks);
WLAN_BSS_LIST* make_bss_list(const std::vector<const scanned_bss*>& bss);

// What is known of a wireless interface before it becomes a record.
struct interface_facts {
  std::uint32_t ifindex = 0;
  std::uint32_t wiphy = 0;
  std::uint32_t iftype = 0;  // NL80211_IFTYPE_*
  std::string name;
  std::string driver;                        // empty when sysfs does not say
  std::array<std::uint8_t, 6> permanent{};   // the radio's own address
  bool has_permanent = false;
  bool up = false;
  bool has_ssid = false;  // associated (station) or joined (IBSS)
};

// The interfaces this backend lists: station, P2P client and IBSS, the
// kinds that scan and join networks.
bool is_listed_type(std::uint32_t iftype);
// Stable across runs and unique per interface: a 128-bit FNV-1a hash of the
// radio's permanent address (its wiphy index where it has none) and the
// interface name, laid out as a version 8 GUID.
GUID interface_guid(const interface_facts& f);
WLAN_INTERFACE_STATE interface_state(const interface_facts& f);
WLAN_INTERFACE_INFO interface_info(const interface_facts& f);

}  // namespace wlsurvey::nl80211
