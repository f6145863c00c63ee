#include "event/scan_wait.h"

#include "report/text.h"

namespace wlsurvey {

constinit std::atomic<bool> scan_done{false};

void WINAPI on_wlan_notification(PWLAN_NOTIFICATION_DATA data, PVOID context) {
  if (data == nullptr || context == nullptr) return;
  if (data->NotificationSource != WLAN_NOTIFICATION_SOURCE_ACM) return;
  switch (data->NotificationCode) {
    case wlan_notification_acm_scan_complete:
    case wlan_notification_acm_scan_fail:
    case wlan_notification_acm_interface_removal:
      static_cast<std::atomic<bool>*>(context)->store(true);
      break;
    default: break;
  }
}

namespace {

// The dotted wait: one tick is one 100 ms timed wait on the run's event. The
// flag is looked at only between ticks.
std::string wait_for_scan(scan_context& run) {
  console& out = run.system.streams();
  while (!scan_done.load()) {
    const std::int32_t t = run.wait_ticks++;
    if (t >= wait_tick_budget) return {};  // budget spent: read what there is
    const std::int32_t rc = run.timer.wait_time(wait_tick_ms);
    if (rc == 0) return {};
    if (rc != e_event::timed_out) return format("e_event.wait_time: %i\n", rc);
    if (!run.flags.quiet) {
      out.write_out(".");
      out.flush();  // the dots are the progress the user watches
    }
  }
  return {};
}

}  // namespace

std::string scan_interface(scan_context& run, const GUID& interface_guid, int i) {
  platform& p = run.system;
  scan_done.store(false);
  DWORD previous = 0;
  DWORD rc = p.WlanRegisterNotification(run.client, WLAN_NOTIFICATION_SOURCE_ACM, FALSE,
                                        on_wlan_notification, &scan_done, &previous);
  if (rc != 0) return format("WlanRegisterNotification: %i +\n", static_cast<int>(rc));

  if (!run.flags.quiet) {
    p.streams().write_out(format("\n\n  [%d] SCANNING  ", i));
    p.streams().flush();
  }

  rc = p.WlanScan(run.client, &interface_guid);
  if (rc != 0) return format("WlanScan: %i\n", static_cast<int>(rc));

  std::string failure = wait_for_scan(run);
  if (!failure.empty()) return failure;

  rc = p.WlanRegisterNotification(run.client, WLAN_NOTIFICATION_SOURCE_NONE, FALSE,
                                  on_wlan_notification, &scan_done, &previous);
  if (rc != 0) return format("WlanRegisterNotification: %i -\n", static_cast<int>(rc));
  return {};
}

}  // namespace wlsurvey
