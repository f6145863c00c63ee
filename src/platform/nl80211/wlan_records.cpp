#include "wlan_records.h"

#include <linux/nl80211.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace wlsurvey::nl80211 {

namespace {

constexpr std::uint16_t cap_ess = 0x0001;
constexpr std::uint16_t cap_ibss = 0x0002;
constexpr std::uint16_t cap_privacy = 0x0010;

bool in_khz(std::uint32_t f, std::uint32_t low_mhz, std::uint32_t high_mhz) {
  return f >= low_mhz * 1000 && f < high_mhz * 1000;
}

// Suite tables: what each selector means here, strongest first.
struct akm_rule {
  suite selector;
  DOT11_AUTH_ALGORITHM auth;
};

constexpr akm_rule akm_rules[] = {
    {rsn_suite(12), DOT11_AUTH_ALGO_WPA3},      // 802.1X Suite B 192-bit
    {rsn_suite(13), DOT11_AUTH_ALGO_WPA3},      // FT 802.1X SHA-384
    {rsn_suite(11), DOT11_AUTH_ALGO_WPA3},      // 802.1X Suite B
    {rsn_suite(5), DOT11_AUTH_ALGO_WPA3_ENT},   // 802.1X SHA-256
    {rsn_suite(24), DOT11_AUTH_ALGO_WPA3_SAE},  // SAE, group-dependent hash
    {rsn_suite(25), DOT11_AUTH_ALGO_WPA3_SAE},
    {rsn_suite(8), DOT11_AUTH_ALGO_WPA3_SAE},
    {rsn_suite(9), DOT11_AUTH_ALGO_WPA3_SAE},   // FT SAE
    {rsn_suite(18), DOT11_AUTH_ALGO_OWE},
    {rsn_suite(1), DOT11_AUTH_ALGO_RSNA},
    {rsn_suite(3), DOT11_AUTH_ALGO_RSNA},       // FT 802.1X
    {rsn_suite(14), DOT11_AUTH_ALGO_RSNA},      // FILS
    {rsn_suite(15), DOT11_AUTH_ALGO_RSNA},
    {rsn_suite(16), DOT11_AUTH_ALGO_RSNA},
    {rsn_suite(17), DOT11_AUTH_ALGO_RSNA},
    {rsn_suite(2), DOT11_AUTH_ALGO_RSNA_PSK},
    {rsn_suite(4), DOT11_AUTH_ALGO_RSNA_PSK},   // FT PSK
    {rsn_suite(6), DOT11_AUTH_ALGO_RSNA_PSK},   // PSK SHA-256
    {rsn_suite(19), DOT11_AUTH_ALGO_RSNA_PSK},  // FT PSK SHA-384
    {rsn_suite(20), DOT11_AUTH_ALGO_RSNA_PSK},  // PSK SHA-384
    {wpa_suite(1), DOT11_AUTH_ALGO_WPA},
    {wpa_suite(2), DOT11_AUTH_ALGO_WPA_PSK},
};

struct cipher_rule {
  std::uint8_t type;  // the same numbers under both OUIs
  DOT11_CIPHER_ALGORITHM cipher;
};

constexpr cipher_rule cipher_rules[] = {
    {9, DOT11_CIPHER_ALGO_GCMP_256}, {10, DOT11_CIPHER_ALGO_CCMP_256},
    {8, DOT11_CIPHER_ALGO_GCMP},     {4, DOT11_CIPHER_ALGO_CCMP},
    {2, DOT11_CIPHER_ALGO_TKIP},     {5, DOT11_CIPHER_ALGO_WEP104},
    {1, DOT11_CIPHER_ALGO_WEP40},
};

DOT11_AUTH_ALGORITHM auth_of(const security_element& e, DOT11_AUTH_ALGORITHM unknown) {
  const auto offered = [&](suite s) {
    return std::find(e.akm.begin(), e.akm.begin() + e.akm_count, s) != e.akm.begin() + e.akm_count;
  };
  for (const auto& rule : akm_rules) {
    if (offered(rule.selector)) return rule.auth;
  }
  return unknown;
}

DOT11_CIPHER_ALGORITHM cipher_of(const security_element& e, suite oui) {
  const auto rank_of = [&](suite s) -> std::size_t {
    if ((s & 0xFFFFFF00u) != oui) return std::size(cipher_rules);
    for (std::size_t k = 0; k < std::size(cipher_rules); ++k) {
      if (cipher_rules[k].type == (s & 0xFF)) return k;
    }
    return std::size(cipher_rules);
  };
  std::size_t best = std::size(cipher_rules);
  bool use_group = false;
  for (std::size_t k = 0; k < e.pairwise_count; ++k) {
    if (e.pairwise[k] == (oui | 0)) use_group = true;  // "use the group cipher"
    best = std::min(best, rank_of(e.pairwise[k]));
  }
  if (best == std::size(cipher_rules) && use_group) best = rank_of(e.group_cipher);
  return best < std::size(cipher_rules) ? cipher_rules[best].cipher : DOT11_CIPHER_ALGO_NONE;
}

bool same_key(const WLAN_AVAILABLE_NETWORK& n, const scanned_bss& b) {
  return n.dot11Ssid.uSSIDLength == b.entry.dot11Ssid.uSSIDLength &&
         std::memcmp(n.dot11Ssid.ucSSID, b.entry.dot11Ssid.ucSSID, n.dot11Ssid.uSSIDLength) == 0 &&
         n.dot11BssType == b.entry.dot11BssType && (n.bSecurityEnabled != 0) == b.sec.enabled;
}

void add_phy_type(WLAN_AVAILABLE_NETWORK& n, DOT11_PHY_TYPE t) {
  for (ULONG k = 0; k < n.uNumberOfPhyTypes; ++k) {
    if (n.dot11PhyTypes[k] == t) return;
  }
  if (n.uNumberOfPhyTypes == WLAN_MAX_PHY_TYPE_NUMBER) {
    n.bMorePhyTypes = TRUE;
    return;
  }
  n.dot11PhyTypes[n.uNumberOfPhyTypes++] = t;
}

// Interface and driver names are UTF-8 bytes; anything that is not valid
// UTF-8 becomes U+FFFD rather than a guess.
void append_utf8(WCHAR* out, std::size_t& at, std::size_t cap, std::string_view text) {
  std::size_t k = 0;
  while (k < text.size() && at + 1 < cap) {
    const auto b = static_cast<unsigned char>(text[k]);
    const int extra = b < 0x80 ? 0 : (b & 0xE0) == 0xC0 ? 1 : (b & 0xF0) == 0xE0 ? 2 : (b & 0xF8) == 0xF0 ? 3 : -1;
    char32_t c = extra == 0 ? b : extra == 1 ? (b & 0x1F) : extra == 2 ? (b & 0x0F) : (b & 0x07);
    bool ok = extra >= 0 && k + static_cast<std::size_t>(extra) < text.size();
    for (int m = 1; ok && m <= extra; ++m) {
      const auto cont = static_cast<unsigned char>(text[k + static_cast<std::size_t>(m)]);
      ok = (cont & 0xC0) == 0x80;
      c = (c << 6) | (cont & 0x3F);
    }
    const char32_t lowest[] = {0, 0x80, 0x800, 0x10000};
    ok = ok && c >= lowest[extra] && c <= 0x10FFFF && !(c >= 0xD800 && c <= 0xDFFF);
    out[at++] = ok ? static_cast<WCHAR>(c) : static_cast<WCHAR>(0xFFFD);
    k += ok ? static_cast<std::size_t>(extra) + 1 : 1;
  }
}

}  // namespace

LONG rssi_dbm(const scan_result& r) {
  if (r.has_signal_mbm) return r.signal_mbm / 100;
  if (r.has_signal_unspec) return static_cast<LONG>(std::min<int>(r.signal_unspec, 100) / 2 - 100);
  return -100;
}

ULONG link_quality(LONG rssi) { return static_cast<ULONG>(std::clamp<LONG>((rssi + 100) * 2, 0, 100)); }

DOT11_PHY_TYPE infer_phy_type(const ie_summary& ie, std::uint32_t f) {
  if (ie.has_eht) return dot11_phy_type_eht;
  if (ie.has_he) return dot11_phy_type_he;
  if (ie.has_vht) return dot11_phy_type_vht;
  if (ie.has_ht) return dot11_phy_type_ht;
  if (in_khz(f, 2400, 2500)) {
    if (ie.has_erp) return dot11_phy_type_erp;
    bool cck = false;
    bool dsss = false;
    for (std::size_t k = 0; k < ie.rate_count; ++k) {
      switch (ie.rates[k] & 0x7F) {
        case 2:
        case 4: dsss = true; break;
        case 11:
        case 22: cck = true; break;
        default: return dot11_phy_type_erp;  // an OFDM rate on 2.4 GHz
      }
    }
    return cck ? dot11_phy_type_hrdsss : dsss ? dot11_phy_type_dsss : dot11_phy_type_unknown;
  }
  if (in_khz(f, 4900, 7200)) return dot11_phy_type_ofdm;  // 5 and 6 GHz
  if (in_khz(f, 57000, 72000)) return dot11_phy_type_dmg;
  return dot11_phy_type_unknown;
}

security security_of(const ie_summary& ie, std::uint16_t capability) {
  security s;
  s.enabled = (capability & cap_privacy) != 0 || ie.rsn.present || ie.wpa.present;
  if (ie.rsn.present) {
    s.auth = auth_of(ie.rsn, DOT11_AUTH_ALGO_RSNA);
    s.cipher = cipher_of(ie.rsn, rsn_suite(0));
  } else if (ie.wpa.present) {
    s.auth = auth_of(ie.wpa, DOT11_AUTH_ALGO_WPA);
    s.cipher = cipher_of(ie.wpa, wpa_suite(0));
  } else if (s.enabled) {
    s.cipher = DOT11_CIPHER_ALGO_WEP;  // privacy without RSN or WPA is WEP
  }
  return s;
}

DOT11_BSS_TYPE bss_type_of(std::uint16_t capability) {
  if (capability & cap_ess) return dot11_BSS_type_infrastructure;
  if (capability & cap_ibss) return dot11_BSS_type_independent;
  return dot11_BSS_type_any;  // mesh and PBSS set neither
}

scanned_bss describe(scan_result r) {
  scanned_bss b;
  b.ie = parse_ies(r.ies);
  b.sec = security_of(b.ie, r.capability);
  WLAN_BSS_ENTRY& e = b.entry;
  e.dot11Ssid.uSSIDLength = b.ie.ssid_length;
  std::copy_n(b.ie.ssid.begin(), b.ie.ssid_length, e.dot11Ssid.ucSSID);
  std::copy(r.bssid.begin(), r.bssid.end(), e.dot11Bssid);
  e.dot11BssType = bss_type_of(r.capability);
  e.dot11BssPhyType = infer_phy_type(b.ie, r.frequency_khz);
  e.lRssi = rssi_dbm(r);
  e.uLinkQuality = link_quality(e.lRssi);
  e.bInRegDomain = TRUE;  // the kernel only scans channels the regulatory domain allows
  e.usBeaconPeriod = r.beacon_interval;
  e.ullTimestamp = r.tsf;
  e.ullHostTimestamp = r.host_timestamp;
  e.usCapabilityInformation = r.capability;
  e.ulChCenterFrequency = r.frequency_khz;
  std::copy_n(b.ie.rates.begin(), b.ie.rate_count, e.wlanRateSet.usRateSet);
  e.wlanRateSet.uRateSetLength = 2u * b.ie.rate_count;
  b.raw = std::move(r);
  return b;
}

scan_snapshot::scan_snapshot(std::vector<scan_result> results) {
  bss_.reserve(results.size());
  for (auto& r : results) bss_.push_back(describe(std::move(r)));
  for (const scanned_bss& b : bss_) {
    auto it = std::find_if(networks_.begin(), networks_.end(),
                           [&](const WLAN_AVAILABLE_NETWORK& n) { return same_key(n, b); });
    if (it == networks_.end()) {
      WLAN_AVAILABLE_NETWORK n{};
      n.dot11Ssid = b.entry.dot11Ssid;
      n.dot11BssType = b.entry.dot11BssType;
      n.bNetworkConnectable = TRUE;
      n.bSecurityEnabled = b.sec.enabled ? TRUE : FALSE;
      // The first BSS seen speaks for the network's security.
      n.dot11DefaultAuthAlgorithm = b.sec.auth;
      n.dot11DefaultCipherAlgorithm = b.sec.cipher;
      it = networks_.insert(networks_.end(), n);
    }
    ++it->uNumberOfBssids;
    add_phy_type(*it, b.entry.dot11BssPhyType);
    it->wlanSignalQuality = std::max(it->wlanSignalQuality, b.entry.uLinkQuality);
    if (b.raw.associated) it->dwFlags |= WLAN_AVAILABLE_NETWORK_CONNECTED;
  }
}

std::vector<const scanned_bss*> scan_snapshot::matching(const DOT11_SSID* ssid, DOT11_BSS_TYPE type,
                                                        bool security_enabled) const {
  std::vector<const scanned_bss*> out;
  for (const scanned_bss& b : bss_) {
    if (ssid != nullptr) {
      const DOT11_SSID& s = b.entry.dot11Ssid;
      if (ssid->uSSIDLength != s.uSSIDLength ||
          std::memcmp(ssid->ucSSID, s.ucSSID, std::min<ULONG>(s.uSSIDLength, DOT11_SSID_MAX_LENGTH)) != 0) {
        continue;
      }
      if (type != dot11_BSS_type_any && type != b.entry.dot11BssType) continue;
      if (security_enabled != b.sec.enabled) continue;
    }
    out.push_back(&b);
  }
  return out;
}

WLAN_AVAILABLE_NETWORK_LIST* make_network_list(const std::vector<WLAN_AVAILABLE_NETWORK>& networks) {
  const std::size_t n = networks.size();
  const std::size_t bytes = offsetof(WLAN_AVAILABLE_NETWORK_LIST, Network) +
                            std::max<std::size_t>(n, 1) * sizeof(WLAN_AVAILABLE_NETWORK);
  auto* list = static_cast<WLAN_AVAILABLE_NETWORK_LIST*>(std::calloc(1, bytes));
  if (list == nullptr) return nullptr;
  list->dwNumberOfItems = static_cast<DWORD>(n);
  WLAN_AVAILABLE_NETWORK* entries = list->Network;
  std::copy(networks.begin(), networks.end(), entries);
  return list;
}

WLAN_BSS_LIST* make_bss_list(const std::vector<const scanned_bss*>& bss) {
  const std::size_t n = bss.size();
  const std::size_t head = offsetof(WLAN_BSS_LIST, wlanBssEntries) +
                           std::max<std::size_t>(n, 1) * sizeof(WLAN_BSS_ENTRY);
  std::size_t bytes = head;
  for (const scanned_bss* b : bss) bytes += b->raw.ies.size();
  auto* list = static_cast<WLAN_BSS_LIST*>(std::calloc(1, bytes));
  if (list == nullptr) return nullptr;
  list->dwTotalSize = static_cast<DWORD>(bytes);
  list->dwNumberOfItems = static_cast<DWORD>(n);
  auto* base = reinterpret_cast<unsigned char*>(list);
  WLAN_BSS_ENTRY* entries = list->wlanBssEntries;
  std::size_t at = head;
  for (std::size_t k = 0; k < n; ++k) {
    WLAN_BSS_ENTRY& e = entries[k];
    e = bss[k]->entry;
    const auto& ies = bss[k]->raw.ies;
    if (!ies.empty()) std::memcpy(base + at, ies.data(), ies.size());
    e.ulIeOffset = static_cast<ULONG>(at - static_cast<std::size_t>(reinterpret_cast<unsigned char*>(&e) - base));
    e.ulIeSize = static_cast<ULONG>(ies.size());
    at += ies.size();
  }
  return list;
}

bool is_listed_type(std::uint32_t iftype) {
  return iftype == NL80211_IFTYPE_STATION || iftype == NL80211_IFTYPE_P2P_CLIENT ||
         iftype == NL80211_IFTYPE_ADHOC;
}

GUID interface_guid(const interface_facts& f) {
  std::string key = "wlsurvey-nl80211:";
  if (f.has_permanent) {
    key.append(reinterpret_cast<const char*>(f.permanent.data()), f.permanent.size());
  } else {
    key += "phy" + std::to_string(f.wiphy);
  }
  key += ':';
  key += f.name;

  // FNV-1a, 128 bits.
  unsigned __int128 h = (static_cast<unsigned __int128>(0x6c62272e07bb0142ULL) << 64) | 0x62b821756295c58dULL;
  const unsigned __int128 prime = (static_cast<unsigned __int128>(1) << 88) | 0x13B;
  for (unsigned char c : key) {
    h ^= c;
    h *= prime;
  }
  std::uint8_t b[16];
  for (int k = 15; k >= 0; --k) {
    b[k] = static_cast<std::uint8_t>(h);
    h >>= 8;
  }
  b[6] = static_cast<std::uint8_t>((b[6] & 0x0F) | 0x80);  // version 8: a name of our own
  b[8] = static_cast<std::uint8_t>((b[8] & 0x3F) | 0x80);  // the RFC variant
  GUID g{};
  g.Data1 = (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
  g.Data2 = static_cast<std::uint16_t>((b[4] << 8) | b[5]);
  g.Data3 = static_cast<std::uint16_t>((b[6] << 8) | b[7]);
  std::copy(b + 8, b + 16, g.Data4);
  return g;
}

WLAN_INTERFACE_STATE interface_state(const interface_facts& f) {
  if (!f.up) return wlan_interface_state_not_ready;
  if (f.has_ssid) {
    return f.iftype == NL80211_IFTYPE_ADHOC ? wlan_interface_state_ad_hoc_network_formed
                                            : wlan_interface_state_connected;
  }
  return wlan_interface_state_disconnected;
}

WLAN_INTERFACE_INFO interface_info(const interface_facts& f) {
  WLAN_INTERFACE_INFO info{};
  info.InterfaceGuid = interface_guid(f);
  std::size_t at = 0;
  append_utf8(info.strInterfaceDescription, at, WLAN_MAX_NAME_LENGTH, f.name);
  if (!f.driver.empty()) {
    append_utf8(info.strInterfaceDescription, at, WLAN_MAX_NAME_LENGTH, " (");
    append_utf8(info.strInterfaceDescription, at, WLAN_MAX_NAME_LENGTH, f.driver);
    append_utf8(info.strInterfaceDescription, at, WLAN_MAX_NAME_LENGTH, ")");
  }
  info.isState = interface_state(f);
  return info;
}

}  // namespace wlsurvey::nl80211
