#pragma once
// The WLAN service on Linux: nl80211 through libnl-genl-3.
//
// A client handle owns a generic netlink socket for its requests. A
// notification registration owns a second socket, joined to the "scan" and
// "config" groups, and a thread that calls the program back from it, as the
// Windows service calls back from a thread of its own.

#include <cstdint>
#include <memory>
#include <mutex>
#include <set>
#include <vector>

#include "platform/os_services.h"

namespace wlsurvey::nl80211 {

class nl80211_service final : public os_services {
 public:
  nl80211_service();
  ~nl80211_service() override;
  nl80211_service(const nl80211_service&) = delete;
  nl80211_service& operator=(const nl80211_service&) = delete;

  DWORD WlanOpenHandle(DWORD dwClientVersion, PDWORD pdwNegotiatedVersion,
                       PHANDLE phClientHandle) override;
  DWORD WlanEnumInterfaces(HANDLE hClientHandle,
                           PWLAN_INTERFACE_INFO_LIST* ppInterfaceList) override;
  DWORD WlanRegisterNotification(HANDLE hClientHandle, DWORD dwNotifSource, BOOL bIgnoreDuplicate,
                                 WLAN_NOTIFICATION_CALLBACK funcCallback, PVOID pCallbackContext,
                                 PDWORD pdwPrevNotifSource) override;
  DWORD WlanScan(HANDLE hClientHandle, const GUID* pInterfaceGuid) override;
  DWORD WlanGetAvailableNetworkList(HANDLE hClientHandle, const GUID* pInterfaceGuid,
                                    DWORD dwFlags,
                                    PWLAN_AVAILABLE_NETWORK_LIST* ppAvailableNetworkList) override;
  DWORD WlanGetNetworkBssList(HANDLE hClientHandle, const GUID* pInterfaceGuid,
                              const DOT11_SSID* pDot11Ssid, DOT11_BSS_TYPE dot11BssType,
                              BOOL bSecurityEnabled, PWLAN_BSS_LIST* ppWlanBssList) override;
  void WlanFreeMemory(PVOID pMemory) override;

  struct client;

 private:
  client* client_of(HANDLE h) const;
  // Every list handed out is known until WlanFreeMemory, so that a run which
  // stops early does not leave its lists behind: the service frees them.
  template <class T>
  T* hand_out(T* block);

  std::vector<std::unique_ptr<client>> clients_;
  std::mutex lists_mutex_;
  std::set<void*> lists_;
};

}  // namespace wlsurvey::nl80211
