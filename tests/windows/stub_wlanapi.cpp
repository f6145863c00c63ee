// A stand-in wlanapi.dll for tests: the real wlsurvey.exe loads it from its
// own folder and runs against a small fixed world. It keeps the API's
// contract where the program depends on it: handles and GUIDs are checked,
// reserved arguments must be null, lists come from the service's heap and
// are freed with WlanFreeMemory, and the end of a scan is reported from a
// thread of the service's own while the program waits.
//
// WLSTUB_SCENARIO picks what happens:
//   (unset)     one interface, two networks; the scan ends after 250 ms
//   open_fail   the service is not running
//   bss_denied  the BSS list is refused (location access off)
//   silent      the scan never reports its end and nothing is found

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <string_view>

#include "wlan_types.h"

namespace {

constexpr DWORD scan_complete_after_ms = 250;

HANDLE const client_handle = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(0x5157));

const GUID interface_guid = {0x5a6b7c8d, 0x1e2f, 0x4a3b, {0x9c, 0x0d, 0xe1, 0xf2, 0xa3, 0xb4, 0xc5, 0xd6}};

enum class scenario { scan, open_fail, bss_denied, silent };

scenario current_scenario() {
  const char* name = std::getenv("WLSTUB_SCENARIO");
  if (name == nullptr) return scenario::scan;
  const std::string_view s = name;
  if (s == "open_fail") return scenario::open_fail;
  if (s == "bss_denied") return scenario::bss_denied;
  if (s == "silent") return scenario::silent;
  return scenario::scan;
}

struct scripted_bss {
  UCHAR bssid[6];
  DOT11_PHY_TYPE phy;
  LONG rssi;
  ULONG quality;
  BOOLEAN in_reg_domain;
  USHORT beacon_period;
  USHORT capability;
  ULONG frequency_khz;
  USHORT rates[6];
  ULONG rate_count;
};

struct scripted_network {
  const wchar_t* profile;
  const char* ssid;
  ULONG ssid_length;
  BOOL connectable;
  DWORD not_connectable_reason;
  BOOL security;
  DOT11_AUTH_ALGORITHM auth;
  DOT11_CIPHER_ALGORITHM cipher;
  DWORD flags;
  const scripted_bss* bss;
  DWORD bss_count;
};

// Rates in 500 kbit/s units, 0x8000 marking a basic rate.
const scripted_bss home_bss[] = {
    {{0x00, 0x11, 0x22, 0x33, 0x44, 0x55}, static_cast<DOT11_PHY_TYPE>(6), -48, 90, 1, 100,
     0x0411, 2437000, {0x8002, 0x8004, 0x000B, 0x0016, 0x000C, 0x006C}, 6},
};
const scripted_bss cafe_bss[] = {
    {{0x02, 0xaa, 0xbb, 0xcc, 0xdd, 0xee}, static_cast<DOT11_PHY_TYPE>(4), -71, 40, 0, 100,
     0x0001, 5180000, {0x800C, 0x0012, 0x8018, 0x006C}, 4},
    {{0x02, 0xaa, 0xbb, 0xcc, 0xdd, 0xef}, static_cast<DOT11_PHY_TYPE>(7), -80, 20, 1, 102,
     0x0021, 2412000, {}, 0},
};
const scripted_network networks[] = {
    {L"Home", "home-net", 8, TRUE, 0, TRUE, DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP, 0x3,
     home_bss, 1},
    {L"", "caf\xe9\x01", 5, FALSE, 163841, FALSE, DOT11_AUTH_ALGO_80211_OPEN,
     DOT11_CIPHER_ALGO_NONE, 0, cafe_bss, 2},
};

CRITICAL_SECTION lock;
WLAN_NOTIFICATION_CALLBACK callback = nullptr;
PVOID callback_context = nullptr;
bool opened = false;

// The list records end in an array of one entry (or none, in mingw-w64's
// headers): a list's size is its header and its entries, never its sizeof.
void* allocate(SIZE_T bytes) { return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, bytes); }

bool valid_call(HANDLE client, const GUID* guid) {
  return opened && client == client_handle && guid != nullptr &&
         std::memcmp(guid, &interface_guid, sizeof(GUID)) == 0;
}

DWORD WINAPI report_scan_end(LPVOID) {
  Sleep(scan_complete_after_ms);
  EnterCriticalSection(&lock);
  if (callback != nullptr) {
    WLAN_NOTIFICATION_DATA data{};
    data.NotificationSource = WLAN_NOTIFICATION_SOURCE_ACM;
    data.NotificationCode = wlan_notification_acm_scan_complete;
    data.InterfaceGuid = interface_guid;
    callback(&data, callback_context);
  }
  LeaveCriticalSection(&lock);
  return 0;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) InitializeCriticalSection(&lock);
  return TRUE;
}

DWORD WINAPI WlanOpenHandle(DWORD dwClientVersion, PVOID pReserved, PDWORD pdwNegotiatedVersion,
                            PHANDLE phClientHandle) {
  if (pReserved != nullptr || pdwNegotiatedVersion == nullptr || phClientHandle == nullptr ||
      (dwClientVersion != 1 && dwClientVersion != 2)) {
    return ERROR_INVALID_PARAMETER;
  }
  if (current_scenario() == scenario::open_fail) return ERROR_SERVICE_NOT_ACTIVE;
  opened = true;
  *pdwNegotiatedVersion = dwClientVersion;
  *phClientHandle = client_handle;
  return ERROR_SUCCESS;
}

DWORD WINAPI WlanEnumInterfaces(HANDLE hClientHandle, PVOID pReserved,
                                PWLAN_INTERFACE_INFO_LIST* ppInterfaceList) {
  if (!opened || hClientHandle != client_handle) return ERROR_INVALID_HANDLE;
  if (pReserved != nullptr || ppInterfaceList == nullptr) return ERROR_INVALID_PARAMETER;
  auto* list = static_cast<PWLAN_INTERFACE_INFO_LIST>(allocate(offsetof(WLAN_INTERFACE_INFO_LIST, InterfaceInfo) + sizeof(WLAN_INTERFACE_INFO)));
  list->dwNumberOfItems = 1;
  list->InterfaceInfo[0].InterfaceGuid = interface_guid;
  std::wcscpy(list->InterfaceInfo[0].strInterfaceDescription,
              L"Stub Wireless Adapter \u00e9\u4e2d");
  list->InterfaceInfo[0].isState = wlan_interface_state_disconnected;
  *ppInterfaceList = list;
  return ERROR_SUCCESS;
}

DWORD WINAPI WlanRegisterNotification(HANDLE hClientHandle, DWORD dwNotifSource, BOOL,
                                      WLAN_NOTIFICATION_CALLBACK funcCallback,
                                      PVOID pCallbackContext, PVOID pReserved,
                                      PDWORD pdwPrevNotifSource) {
  if (!opened || hClientHandle != client_handle) return ERROR_INVALID_HANDLE;
  if (pReserved != nullptr) return ERROR_INVALID_PARAMETER;
  EnterCriticalSection(&lock);
  if (pdwPrevNotifSource != nullptr) {
    *pdwPrevNotifSource = callback != nullptr ? WLAN_NOTIFICATION_SOURCE_ACM : 0;
  }
  const bool acm = (dwNotifSource & WLAN_NOTIFICATION_SOURCE_ACM) != 0;
  callback = acm ? funcCallback : nullptr;
  callback_context = acm ? pCallbackContext : nullptr;
  LeaveCriticalSection(&lock);
  return ERROR_SUCCESS;
}

DWORD WINAPI WlanScan(HANDLE hClientHandle, const GUID* pInterfaceGuid, const PDOT11_SSID pDot11Ssid,
                      const PWLAN_RAW_DATA pIeData, PVOID pReserved) {
  if (!valid_call(hClientHandle, pInterfaceGuid)) return ERROR_INVALID_PARAMETER;
  // The program asks for a wildcard scan.
  if (pDot11Ssid != nullptr || pIeData != nullptr || pReserved != nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  if (current_scenario() == scenario::silent) return ERROR_SUCCESS;
  HANDLE thread = CreateThread(nullptr, 0, report_scan_end, nullptr, 0, nullptr);
  if (thread == nullptr) return GetLastError();
  CloseHandle(thread);
  return ERROR_SUCCESS;
}

DWORD WINAPI WlanGetAvailableNetworkList(HANDLE hClientHandle, const GUID* pInterfaceGuid,
                                         DWORD, PVOID pReserved,
                                         PWLAN_AVAILABLE_NETWORK_LIST* ppAvailableNetworkList) {
  if (!valid_call(hClientHandle, pInterfaceGuid) || pReserved != nullptr ||
      ppAvailableNetworkList == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  const DWORD count = current_scenario() == scenario::silent ? 0 : 2;
  auto* list = static_cast<PWLAN_AVAILABLE_NETWORK_LIST>(
      allocate(offsetof(WLAN_AVAILABLE_NETWORK_LIST, Network) + 2 * sizeof(WLAN_AVAILABLE_NETWORK)));
  list->dwNumberOfItems = count;
  for (DWORD k = 0; k < count; ++k) {
    const scripted_network& script = networks[k];
    WLAN_AVAILABLE_NETWORK& n = list->Network[k];
    std::wcscpy(n.strProfileName, script.profile);
    n.dot11Ssid.uSSIDLength = script.ssid_length;
    std::memcpy(n.dot11Ssid.ucSSID, script.ssid, script.ssid_length);
    n.dot11BssType = dot11_BSS_type_infrastructure;
    n.uNumberOfBssids = script.bss_count;
    n.bNetworkConnectable = script.connectable;
    n.wlanNotConnectableReason = script.not_connectable_reason;
    n.bSecurityEnabled = script.security;
    n.dot11DefaultAuthAlgorithm = script.auth;
    n.dot11DefaultCipherAlgorithm = script.cipher;
    n.dwFlags = script.flags;
  }
  *ppAvailableNetworkList = list;
  return ERROR_SUCCESS;
}

DWORD WINAPI WlanGetNetworkBssList(HANDLE hClientHandle, const GUID* pInterfaceGuid,
                                   const PDOT11_SSID pDot11Ssid, DOT11_BSS_TYPE dot11BssType,
                                   BOOL bSecurityEnabled, PVOID pReserved,
                                   PWLAN_BSS_LIST* ppWlanBssList) {
  if (!valid_call(hClientHandle, pInterfaceGuid) || pReserved != nullptr ||
      ppWlanBssList == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  if (current_scenario() == scenario::bss_denied) return ERROR_ACCESS_DENIED;
  const scripted_network* match = nullptr;
  for (const scripted_network& script : networks) {
    if (pDot11Ssid != nullptr && pDot11Ssid->uSSIDLength == script.ssid_length &&
        std::memcmp(pDot11Ssid->ucSSID, script.ssid, script.ssid_length) == 0 &&
        dot11BssType == dot11_BSS_type_infrastructure && bSecurityEnabled == script.security) {
      match = &script;
    }
  }
  const DWORD count = match != nullptr ? match->bss_count : 0;
  const DWORD size = offsetof(WLAN_BSS_LIST, wlanBssEntries) + 2 * sizeof(WLAN_BSS_ENTRY);
  auto* list = static_cast<PWLAN_BSS_LIST>(allocate(size));
  list->dwTotalSize = size;
  list->dwNumberOfItems = count;
  for (DWORD k = 0; k < count; ++k) {
    const scripted_bss& script = match->bss[k];
    WLAN_BSS_ENTRY& b = list->wlanBssEntries[k];
    b.dot11Ssid = *pDot11Ssid;
    std::memcpy(b.dot11Bssid, script.bssid, sizeof script.bssid);
    b.dot11BssType = dot11_BSS_type_infrastructure;
    b.dot11BssPhyType = script.phy;
    b.lRssi = script.rssi;
    b.uLinkQuality = script.quality;
    b.bInRegDomain = script.in_reg_domain;
    b.usBeaconPeriod = script.beacon_period;
    b.usCapabilityInformation = script.capability;
    b.ulChCenterFrequency = script.frequency_khz;
    b.wlanRateSet.uRateSetLength = script.rate_count * sizeof(USHORT);
    std::memcpy(b.wlanRateSet.usRateSet, script.rates, script.rate_count * sizeof(USHORT));
  }
  *ppWlanBssList = list;
  return ERROR_SUCCESS;
}

VOID WINAPI WlanFreeMemory(PVOID pMemory) {
  if (pMemory != nullptr) HeapFree(GetProcessHeap(), 0, pMemory);
}

}  // extern "C"
