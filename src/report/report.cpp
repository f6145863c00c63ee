#include "report/report.h"

#include <algorithm>
#include <string>

#include "platform/wide_text.h"
#include "report/code_names.h"
#include "report/text.h"

namespace wlsurvey {

namespace {

struct ghz {
  unsigned whole;
  unsigned thousandths;
};

ghz frequency_of(const WLAN_BSS_ENTRY& b) {
  const ULONG f = b.ulChCenterFrequency;  // kHz
  return {static_cast<unsigned>(f / 1000000), static_cast<unsigned>((f / 1000) % 1000)};
}

// A rate set longer than the array it lives in is taken as the whole array.
std::size_t rate_count(const WLAN_RATE_SET& rates) {
  return std::min<std::size_t>(rates.uRateSetLength / 2, DOT11_RATE_SET_MAX_LENGTH);
}

void write_short_record(console& out, const WLAN_BSS_ENTRY& b) {
  const UCHAR* a = b.dot11Bssid;
  const ghz f = frequency_of(b);
  std::string line = format("%02x:%02x:%02x:%02x:%02x:%02x  %u.%03u  %3u %i  ", a[0], a[1], a[2],
                            a[3], a[4], a[5], f.whole, f.thousandths,
                            static_cast<unsigned>(b.uLinkQuality), static_cast<int>(b.lRssi));
  print_phy_type(line, b.dot11BssPhyType);
  line += "  ";
  out.write_out(line);
}

void write_detail_block(console& out, int i, int m, const WLAN_AVAILABLE_NETWORK& n,
                        const WLAN_BSS_ENTRY& b) {
  const UCHAR* a = b.dot11Bssid;
  const ghz f = frequency_of(b);
  std::string block;
  append_format(block, "  [%d][%d] BSSID             %02x:%02x:%02x:%02x:%02x:%02x\n", i, m, a[0],
                a[1], a[2], a[3], a[4], a[5]);
  append_format(block, "  [%d][%d] Type              ", i, m);
  append_bss_type_name(block, b.dot11BssType);
  append_format(block, "  [%d][%d] Signal quality    %u  RSSI  %i dBm\n", i, m,
                static_cast<unsigned>(b.uLinkQuality), static_cast<int>(b.lRssi));
  append_format(block, "  [%d][%d] Frequency         %u.%03u GHz\n", i, m, f.whole, f.thousandths);
  append_format(block, "  [%d][%d] Beacon period     %u\n", i, m,
                static_cast<unsigned>(b.usBeaconPeriod));
  append_format(block, "  [%d][%d] Reg domain        %s\n", i, m,
                b.bInRegDomain != 0 ? "true" : "false");
  append_format(block, "  [%d][%d] PHY type    ", i, m);
  print_phy_type(block, b.dot11BssPhyType);
  block += '\n';
  append_format(block, "  [%d][%d] Rate              ", i, m);
  const std::size_t rates = rate_count(b.wlanRateSet);
  for (std::size_t k = 0; k < rates; ++k) {
    append_format(block, "%u ", static_cast<unsigned>((b.wlanRateSet.usRateSet[k] >> 1) & 0x3FFF));
  }
  block += '\n';
  append_format(block, "  [%d][%d] Capability  %04x  ", i, m,
                static_cast<unsigned>(b.usCapabilityInformation));
  append_capability_tags(block, b.usCapabilityInformation);
  block += '\n';
  append_format(block, "  [%d][%d] Connectable       ", i, m);
  if (n.bNetworkConnectable != 0) {
    block += "Yes\n";
  } else {
    append_format(block, "No: %u\n", static_cast<unsigned>(n.wlanNotConnectableReason));
  }
  append_format(block, "  [%d][%d] Security %s       ", i, m,
                n.bSecurityEnabled != 0 ? "  " : "No");
  append_auth_name(block, n.dot11DefaultAuthAlgorithm);
  append_format(block, "  [%d][%d] Default cypher    ", i, m);
  append_cipher_name(block, n.dot11DefaultCipherAlgorithm);
  append_format(block, "  [%d][%d] Flags             %x  ", i, m, static_cast<unsigned>(n.dwFlags));
  if (n.dwFlags != 0) append_flag_tags(block, n.dwFlags);
  block += "\n\n";
  out.write_out(block);
}

}  // namespace

void report_network(console& out, const run_flags& flags, int i, int m,
                    const WLAN_AVAILABLE_NETWORK& network, const WLAN_BSS_LIST& bss_list) {
  if (!flags.quiet && network.strProfileName[0] != 0) {
    std::string line = "  [";
    append_wide_text(line, network.strProfileName, WLAN_MAX_NAME_LENGTH);
    line += "]\n";
    out.write_out(line);
  }
  const WLAN_BSS_ENTRY* entries = bss_list.wlanBssEntries;
  for (DWORD k = 0; k < bss_list.dwNumberOfItems; ++k) {
    const WLAN_BSS_ENTRY& b = entries[k];
    if (flags.short_form) write_short_record(out, b);
    std::string line;
    if (!flags.quiet) append_format(line, "  [%d][%d] SSID              ", i, m);
    append_ssid(line, b.dot11Ssid);
    line += '\n';
    out.write_out(line);
    if (!flags.quiet) write_detail_block(out, i, m, network, b);
  }
  if (!flags.quiet) out.write_out("\n");
}

}  // namespace wlsurvey
