// Any bytes as a beacon's elements: the parser and what is built on it must
// stay inside the buffer and keep the records within their arrays.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "ie_parser.h"
#include "wlan_records.h"

using namespace wlsurvey::nl80211;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const ie_summary s = parse_ies({data, size});
  if (s.ssid_length > s.ssid.size() || s.rate_count > s.rates.size() ||
      s.rsn.pairwise_count > s.rsn.pairwise.size() || s.rsn.akm_count > s.rsn.akm.size() ||
      s.wpa.pairwise_count > s.wpa.pairwise.size() || s.wpa.akm_count > s.wpa.akm.size()) {
    std::abort();
  }

  // The same bytes as one BSS of a dump, on each band, through to a list block.
  std::vector<scan_result> dump;
  for (std::uint32_t khz : {2412000u, 5180000u, 60480000u}) {
    scan_result r;
    r.frequency_khz = khz;
    r.capability = 0x0011;
    r.ies.assign(data, data + size);
    dump.push_back(std::move(r));
  }
  const scan_snapshot snapshot(std::move(dump));
  for (const auto& n : snapshot.networks()) {
    if (n.dot11Ssid.uSSIDLength > DOT11_SSID_MAX_LENGTH) std::abort();
    WLAN_BSS_LIST* list = make_bss_list(snapshot.matching(&n.dot11Ssid, n.dot11BssType, n.bSecurityEnabled != 0));
    if (list == nullptr) return 0;
    const WLAN_BSS_ENTRY* entries = list->wlanBssEntries;
    for (DWORD k = 0; k < list->dwNumberOfItems; ++k) {
      if (entries[k].wlanRateSet.uRateSetLength > 2 * DOT11_RATE_SET_MAX_LENGTH) std::abort();
    }
    std::free(list);
  }
  return 0;
}
