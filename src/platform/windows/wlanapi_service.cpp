#include "wlanapi_service.h"

namespace wlsurvey {

DWORD wlanapi_service::WlanOpenHandle(DWORD dwClientVersion, PDWORD pdwNegotiatedVersion,
                                      PHANDLE phClientHandle) {
  return ::WlanOpenHandle(dwClientVersion, nullptr, pdwNegotiatedVersion, phClientHandle);
}

DWORD wlanapi_service::WlanEnumInterfaces(HANDLE hClientHandle,
                                          PWLAN_INTERFACE_INFO_LIST* ppInterfaceList) {
  return ::WlanEnumInterfaces(hClientHandle, nullptr, ppInterfaceList);
}

DWORD wlanapi_service::WlanRegisterNotification(HANDLE hClientHandle, DWORD dwNotifSource,
                                                BOOL bIgnoreDuplicate,
                                                WLAN_NOTIFICATION_CALLBACK funcCallback,
                                                PVOID pCallbackContext,
                                                PDWORD pdwPrevNotifSource) {
  return ::WlanRegisterNotification(hClientHandle, dwNotifSource, bIgnoreDuplicate, funcCallback,
                                    pCallbackContext, nullptr, pdwPrevNotifSource);
}

DWORD wlanapi_service::WlanScan(HANDLE hClientHandle, const GUID* pInterfaceGuid) {
  return ::WlanScan(hClientHandle, pInterfaceGuid, nullptr, nullptr, nullptr);
}

DWORD wlanapi_service::WlanGetAvailableNetworkList(
    HANDLE hClientHandle, const GUID* pInterfaceGuid, DWORD dwFlags,
    PWLAN_AVAILABLE_NETWORK_LIST* ppAvailableNetworkList) {
  return ::WlanGetAvailableNetworkList(hClientHandle, pInterfaceGuid, dwFlags, nullptr,
                                       ppAvailableNetworkList);
}

DWORD wlanapi_service::WlanGetNetworkBssList(HANDLE hClientHandle, const GUID* pInterfaceGuid,
                                             const DOT11_SSID* pDot11Ssid,
                                             DOT11_BSS_TYPE dot11BssType, BOOL bSecurityEnabled,
                                             PWLAN_BSS_LIST* ppWlanBssList) {
  // mingw-w64 declares the SSID as a const pointer to a writable record; the
  // service only reads it.
  return ::WlanGetNetworkBssList(hClientHandle, pInterfaceGuid,
                                 const_cast<PDOT11_SSID>(pDot11Ssid), dot11BssType,
                                 bSecurityEnabled, nullptr, ppWlanBssList);
}

void wlanapi_service::WlanFreeMemory(PVOID pMemory) { ::WlanFreeMemory(pMemory); }

platform& native_platform() {
  static wlanapi_service service;
  return service;
}

}  // namespace wlsurvey
