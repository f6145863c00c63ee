#pragma once
// A scripted WLAN world: what the simulated service answers, when its
// notifications arrive, and which calls fail. Read from a JSON scenario.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "wlan_types.h"

namespace wlsurvey::sim {

// The operations a scenario can make fail.
enum class call : int {
  CreateEventW,
  WlanOpenHandle,
  WlanEnumInterfaces,
  WlanRegisterNotification,
  WlanScan,
  WaitForSingleObject,
  WlanGetAvailableNetworkList,
  WlanGetNetworkBssList,
  StringFromGUID2,
  CloseHandle,
};
constexpr int call_count = 10;

// The operation's name as scenarios and traces write it.
const char* call_name(call what);

struct fault {
  call what;
  std::uint32_t nth = 1;  // that operation's nth call in the run, from 1
  std::uint32_t result = 0;
  std::uint32_t last_error = 0;
};

struct notification {
  std::uint32_t tick = 0;  // 0: before the scan request; K: during the Kth wait
  DWORD source = WLAN_NOTIFICATION_SOURCE_ACM;
  DWORD code = wlan_notification_acm_scan_complete;
  GUID interface_guid{};
};

struct network {
  WLAN_AVAILABLE_NETWORK entry{};
  std::vector<WLAN_BSS_ENTRY> bss;
};

struct wlan_interface {
  WLAN_INTERFACE_INFO info{};
  std::vector<notification> notifications;
  std::vector<network> networks;
};

struct scenario {
  DWORD version = 2;
  bool debugger = false;
  std::vector<fault> faults;
  std::vector<wlan_interface> interfaces;
};

// Parses scenario text. On failure returns false and sets error to one line
// naming the place and the problem.
bool parse_scenario(std::string_view text, scenario& out, std::string& error);

// Reads and parses a scenario file; errors as for parse_scenario.
bool load_scenario(const std::string& path, scenario& out, std::string& error);

}  // namespace wlsurvey::sim
