#include "main/driver.h"

#include <cstdint>
#include <string>

#include "event/e_event.h"
#include "event/scan_wait.h"
#include "main/command_line.h"
#include "platform/wide_text.h"
#include "report/code_names.h"
#include "report/report.h"
#include "report/text.h"

namespace wlsurvey {

namespace {

constexpr DWORD client_version = 2;
constexpr DWORD network_list_flags = WLAN_AVAILABLE_NETWORK_INCLUDE_ALL_ADHOC_PROFILES |
                                     WLAN_AVAILABLE_NETWORK_INCLUDE_ALL_MANUAL_HIDDEN_PROFILES;
constexpr int guid_capacity = 39;  // 38 characters of braced GUID and the terminator

class scan_driver {
 public:
  scan_driver(platform& system, run_flags flags)
      : system_(system), out_(system.streams()), flags_(flags), timer_(system) {}

  int run();

 private:
  int fail(const std::string& message);
  int finish();
  void print_interface_header(int i, const WLAN_INTERFACE_INFO& info);
  std::string report_interface(int i, const WLAN_INTERFACE_INFO& info);

  platform& system_;
  console& out_;
  const run_flags flags_;
  e_event timer_;
  HANDLE client_ = INVALID_HANDLE_VALUE;  // never closed: it ends with the process
  DWORD negotiated_version_ = 0;
  std::int32_t wait_ticks_ = 0;
};

std::string failed(const char* what, DWORD rc) {
  return format("%s: %i\n", what, static_cast<int>(rc));
}

int scan_driver::run() {
  print_banner(out_, flags_);

  if (!timer_.create())
    return fail(format("CreateEvent: %i\n", static_cast<int>(system_.GetLastError())));

  DWORD rc = system_.WlanOpenHandle(client_version, &negotiated_version_, &client_);
  if (rc != 0) return fail(failed("WlanOpenHandle", rc));

  PWLAN_INTERFACE_INFO_LIST interfaces = nullptr;
  rc = system_.WlanEnumInterfaces(client_, &interfaces);
  if (rc != 0) return fail(failed("WlanEnumInterfaces", rc));

  if (!flags_.quiet) {
    out_.write_out(format("Wireless interfaces: %lu, interface version: %u\n\n",
                          static_cast<unsigned long>(interfaces->dwNumberOfItems),
                          static_cast<unsigned>(negotiated_version_)));
  }

  wait_ticks_ = 0;
  const WLAN_INTERFACE_INFO* entries = interfaces->InterfaceInfo;
  for (DWORD k = 0; k < interfaces->dwNumberOfItems; ++k) {
    std::string failure = report_interface(static_cast<int>(k), entries[k]);
    if (!failure.empty()) return fail(failure);
  }
  system_.WlanFreeMemory(interfaces);

  timer_.release();
  return finish();
}

void scan_driver::print_interface_header(int i, const WLAN_INTERFACE_INFO& info) {
  std::string line = format("  [%d] ", i);
  out_.write_out(line);

  WCHAR guid_text[guid_capacity + 1] = {};
  if (system_.StringFromGUID2(info.InterfaceGuid, guid_text, guid_capacity) != 0) {
    line.clear();
    append_wide_text(line, guid_text, guid_capacity);
    line += '\n';
    out_.write_out(line);
  } else {
    out_.write_out("StringFromGUID2 failed\n");
  }

  line = format("  [%d] ", i);
  append_wide_text(line, info.strInterfaceDescription, WLAN_MAX_NAME_LENGTH);
  line += '\n';
  out_.write_out(line);

  line = format("  [%d] status: ", i);
  append_interface_state_name(line, static_cast<LONG>(info.isState));
  out_.write_out(line);
}

std::string scan_driver::report_interface(int i, const WLAN_INTERFACE_INFO& info) {
  if (!flags_.quiet) print_interface_header(i, info);

  scan_context scan{system_, flags_, timer_, client_, wait_ticks_};
  std::string failure = scan_interface(scan, info.InterfaceGuid, i);
  if (!failure.empty()) return failure;

  PWLAN_AVAILABLE_NETWORK_LIST networks = nullptr;
  DWORD rc = system_.WlanGetAvailableNetworkList(client_, &info.InterfaceGuid, network_list_flags,
                                                 &networks);
  if (rc != 0) return failed("WlanGetAvailableNetworkList", rc);

  if (!flags_.quiet) {
    out_.write_out(format("\r  [%d] Wireless networks: %u\n\n", i,
                          static_cast<unsigned>(networks->dwNumberOfItems)));
  }

  const WLAN_AVAILABLE_NETWORK* entries = networks->Network;
  for (DWORD m = 0; m < networks->dwNumberOfItems; ++m) {
    const WLAN_AVAILABLE_NETWORK& network = entries[m];
    PWLAN_BSS_LIST bss_list = nullptr;
    rc = system_.WlanGetNetworkBssList(client_, &info.InterfaceGuid, &network.dot11Ssid,
                                       network.dot11BssType, network.bSecurityEnabled, &bss_list);
    if (rc != 0) return failed("WlanGetNetworkBssList", rc);
    report_network(out_, flags_, i, static_cast<int>(m), network, *bss_list);
    system_.WlanFreeMemory(bss_list);
  }
  system_.WlanFreeMemory(networks);
  return {};
}

int scan_driver::fail(const std::string& message) {
  out_.write_out(message);
  out_.write_err("\r\n[failed] ");
  out_.flush();
  if (system_.IsDebuggerPresent()) out_.read_char();
  timer_.release();
  return -1;
}

int scan_driver::finish() {
  if (system_.IsDebuggerPresent()) {
    out_.write_err("\r\n[finished] Press ENTER to exit . . .");
    out_.flush();
    out_.read_char();
    system_.ExitProcess(0);  // does not return on a real platform
    return 0;
  }
  out_.flush();
  return 0;
}

}  // namespace

int run_wlsurvey(platform& system, int argc, const char* const* argv) {
  scan_driver driver(system, parse_command_line(argc, argv));
  return driver.run();
}

}  // namespace wlsurvey
