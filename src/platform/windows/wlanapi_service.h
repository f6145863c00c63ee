#pragma once
// The Windows WLAN service (wlanapi.dll) behind the seam.

#include "platform/os_services.h"

namespace wlsurvey {

class wlanapi_service final : public os_services {
 public:
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
};

}  // namespace wlsurvey
