// How fast a crowded site is reported, and what the report allocates. The
// figures are printed; no run fails on them.

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "report/report.h"

namespace {

class counting_console final : public wlsurvey::console {
 public:
  std::size_t bytes = 0, writes = 0;
  void write_out(std::string_view b) override { bytes += b.size(), ++writes; }
  void write_err(std::string_view b) override { bytes += b.size(), ++writes; }
  void flush() override {}
  int read_char() override { return -1; }
};

std::vector<unsigned char> crowded_list(std::size_t count) {
  std::vector<unsigned char> storage(sizeof(WLAN_BSS_LIST) + count * sizeof(WLAN_BSS_ENTRY));
  auto* list = reinterpret_cast<WLAN_BSS_LIST*>(storage.data());
  list->dwNumberOfItems = static_cast<DWORD>(count);
  WLAN_BSS_ENTRY* entries = list->wlanBssEntries;
  for (std::size_t k = 0; k < count; ++k) {
    WLAN_BSS_ENTRY& b = entries[k];
    b = WLAN_BSS_ENTRY{};
    std::memcpy(b.dot11Ssid.ucSSID, "a crowded conference hall \x1b!!", 29);
    b.dot11Ssid.uSSIDLength = 29;
    b.dot11Bssid[5] = static_cast<UCHAR>(k);
    b.dot11BssType = dot11_BSS_type_infrastructure;
    b.dot11BssPhyType = dot11_phy_type_vht;
    b.lRssi = -70;
    b.uLinkQuality = 60;
    b.ulChCenterFrequency = 5180000;
    b.usCapabilityInformation = 0x1411;
    b.wlanRateSet.uRateSetLength = 16;
  }
  return storage;
}

void report_crowded_site(benchmark::State& state, wlsurvey::run_flags flags) {
  const auto count = static_cast<std::size_t>(state.range(0));
  auto storage = crowded_list(count);
  const auto* list = reinterpret_cast<const WLAN_BSS_LIST*>(storage.data());
  WLAN_AVAILABLE_NETWORK network{};
  network.bSecurityEnabled = TRUE;
  network.dot11DefaultAuthAlgorithm = DOT11_AUTH_ALGO_RSNA_PSK;
  network.dot11DefaultCipherAlgorithm = DOT11_CIPHER_ALGO_CCMP;
  counting_console out;
  for (auto _ : state) {
    wlsurvey::report_network(out, flags, 0, 0, network, *list);
    benchmark::DoNotOptimize(out.bytes);
  }
  state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * count));
  state.SetBytesProcessed(static_cast<std::int64_t>(out.bytes));
  state.counters["writes_per_bss"] =
      static_cast<double>(out.writes) / static_cast<double>(state.iterations() * count);
}

void full_form(benchmark::State& s) {
  report_crowded_site(s, {false, false});
}
void short_form(benchmark::State& s) {
  report_crowded_site(s, {true, true});
}

BENCHMARK(full_form)->Arg(500);
BENCHMARK(short_form)->Arg(500);

}  // namespace

BENCHMARK_MAIN();
