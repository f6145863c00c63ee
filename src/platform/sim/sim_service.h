#pragma once
// The simulated WLAN service: answers every operation from a scenario, in
// virtual time. A 100 ms wait returns at once; notifications scripted for a
// tick are delivered on a thread of their own during that wait, before it
// returns, as a real service would deliver them while the program sleeps.

#include <array>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/os_services.h"
#include "scenario.h"

namespace wlsurvey::sim {

class sim_service final : public os_services {
 public:
  // With a console, the program's streams go there instead of the process's.
  explicit sim_service(scenario world, console* streams = nullptr);
  ~sim_service() override;
  sim_service(const sim_service&) = delete;
  sim_service& operator=(const sim_service&) = delete;

  DWORD WlanOpenHandle(DWORD dwClientVersion, PDWORD pdwNegotiatedVersion,
                       PHANDLE phClientHandle) override;
  DWORD WlanEnumInterfaces(HANDLE hClientHandle,
                           PWLAN_INTERFACE_INFO_LIST* ppInterfaceList) override;
  DWORD WlanRegisterNotification(HANDLE hClientHandle, DWORD dwNotifSource, BOOL bIgnoreDuplicate,
                                 WLAN_NOTIFICATION_CALLBACK funcCallback, PVOID pCallbackContext,
                                 PDWORD pdwPrevNotifSource) override;
  DWORD WlanScan(HANDLE hClientHandle, const GUID* pInterfaceGuid) override;
  DWORD WlanGetAvailableNetworkList(HANDLE hClientHandle, const GUID* pInterfaceGuid, DWORD dwFlags,
                                    PWLAN_AVAILABLE_NETWORK_LIST* ppAvailableNetworkList) override;
  DWORD WlanGetNetworkBssList(HANDLE hClientHandle, const GUID* pInterfaceGuid,
                              const DOT11_SSID* pDot11Ssid, DOT11_BSS_TYPE dot11BssType,
                              BOOL bSecurityEnabled, PWLAN_BSS_LIST* ppWlanBssList) override;
  void WlanFreeMemory(PVOID pMemory) override;

  HANDLE CreateEventW() override;
  DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) override;
  BOOL SetEvent(HANDLE hEvent) override;
  BOOL CloseHandle(HANDLE hObject) override;
  int StringFromGUID2(const GUID& rguid, WCHAR* lpsz, int cchMax) override;
  BOOL IsDebuggerPresent() override;
  void ExitProcess(UINT uExitCode) override;
  console& streams() override;

  // The runner ends the process for real; tests only record the call.
  void set_exit_for_real(bool yes) { exit_for_real_ = yes; }

  // What the run did, for tests.
  struct record {
    std::vector<std::string> calls;         // every operation, in order
    std::optional<UINT> exit_process_code;  // ExitProcess called
    int lists_live = 0;                     // handed out and not yet freed
    std::map<std::string, int> most_live;   // per list kind, the most alive at once
    int bad_frees = 0;                      // WlanFreeMemory of something not handed out
    int notifications_delivered = 0;
    bool registered = false;  // a registration is in place
  };
  const record& trace() const { return record_; }

 private:
  const fault* take_fault(call what);
  DWORD wlan_fault(call what);  // the scripted result of a WLAN call, 0 for none
  const wlan_interface* find_interface(const GUID* guid) const;
  void deliver(const notification& n);
  void* hand_out(const std::string& kind, std::size_t bytes);

  scenario world_;
  console* streams_;
  bool exit_for_real_ = false;
  std::array<std::uint32_t, call_count> call_counts_{};
  WLAN_NOTIFICATION_CALLBACK callback_ = nullptr;
  PVOID callback_context_ = nullptr;
  const wlan_interface* scanning_ = nullptr;  // the interface of the last scan request
  std::uint32_t scan_tick_ = 0;               // waits since that request
  bool event_open_ = false;
  bool event_signalled_ = false;
  std::map<void*, std::string> live_;
  std::map<std::string, int> live_by_kind_;
  record record_;
};

}  // namespace wlsurvey::sim
