#pragma once
// Scanning one interface and waiting, briefly, for the WLAN service to report
// the end of the scan.

#include <atomic>
#include <cstdint>
#include <string>

#include "event/e_event.h"
#include "report/report.h"

namespace wlsurvey {

// Set by the notification callback on the service's thread, cleared and read
// by the wait on the main thread. Static storage: a registration left in place
// by a failed run may still call back while the process ends.
extern constinit std::atomic<bool> scan_done;

constexpr DWORD wait_tick_ms = 100;
constexpr std::int32_t wait_tick_budget = 40;  // for the whole run, all interfaces

void WINAPI on_wlan_notification(PWLAN_NOTIFICATION_DATA data, PVOID context);

struct scan_context {
  platform& system;
  const run_flags& flags;
  e_event& timer;
  HANDLE client;
  std::int32_t& wait_ticks;  // run-wide, never reset
};

// Registers for notifications, requests the scan, waits for its end or for the
// budget to run out, and withdraws the registration. Returns the failure
// message, or an empty string on success.
std::string scan_interface(scan_context& run, const GUID& interface_guid, int i);

}  // namespace wlsurvey
