#pragma once
// The WLAN records and base types as the program sees them where the Windows
// headers do not exist. Layout and names follow the Windows WLAN API so that
// the program's code reads the same on every platform; only the fields and
// constants the program and its backends use are defined.

#include <cstdint>

using BYTE = std::uint8_t;
using UCHAR = std::uint8_t;
using BOOLEAN = std::uint8_t;
using USHORT = std::uint16_t;
using WORD = std::uint16_t;
using BOOL = std::int32_t;
using LONG = std::int32_t;
using UINT = std::uint32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using ULONGLONG = std::uint64_t;
using WCHAR = wchar_t;  // UTF-32 here; UTF-16 on Windows
using HANDLE = void*;
using PVOID = void*;
using PDWORD = DWORD*;
using PHANDLE = HANDLE*;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
#define WINAPI
#define INVALID_HANDLE_VALUE (reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1)))

// Wait results and last-error values the program relies on.
constexpr DWORD WAIT_OBJECT_0 = 0x00000000;
constexpr DWORD WAIT_ABANDONED = 0x00000080;
constexpr DWORD WAIT_TIMEOUT = 0x00000102;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_NOT_FOUND = 1168;
constexpr DWORD ERROR_SERVICE_NOT_ACTIVE = 1062;

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];
};

constexpr DWORD WLAN_MAX_NAME_LENGTH = 256;
constexpr DWORD DOT11_SSID_MAX_LENGTH = 32;
constexpr DWORD DOT11_RATE_SET_MAX_LENGTH = 126;

enum WLAN_INTERFACE_STATE : std::int32_t {
  wlan_interface_state_not_ready = 0,
  wlan_interface_state_connected = 1,
  wlan_interface_state_ad_hoc_network_formed = 2,
  wlan_interface_state_disconnecting = 3,
  wlan_interface_state_disconnected = 4,
  wlan_interface_state_associating = 5,
  wlan_interface_state_discovering = 6,
  wlan_interface_state_authenticating = 7,
};

struct WLAN_INTERFACE_INFO {
  GUID InterfaceGuid;
  WCHAR strInterfaceDescription[WLAN_MAX_NAME_LENGTH];
  WLAN_INTERFACE_STATE isState;
};

struct WLAN_INTERFACE_INFO_LIST {
  DWORD dwNumberOfItems;
  DWORD dwIndex;
  WLAN_INTERFACE_INFO InterfaceInfo[1];  // dwNumberOfItems entries follow
};
using PWLAN_INTERFACE_INFO_LIST = WLAN_INTERFACE_INFO_LIST*;

struct DOT11_SSID {
  ULONG uSSIDLength;
  UCHAR ucSSID[DOT11_SSID_MAX_LENGTH];
};

enum DOT11_BSS_TYPE : std::uint32_t {
  dot11_BSS_type_infrastructure = 1,
  dot11_BSS_type_independent = 2,
  dot11_BSS_type_any = 3,
};

enum DOT11_PHY_TYPE : std::uint32_t {
  dot11_phy_type_unknown = 0,
  dot11_phy_type_fhss = 1,
  dot11_phy_type_dsss = 2,
  dot11_phy_type_irbaseband = 3,
  dot11_phy_type_ofdm = 4,
  dot11_phy_type_hrdsss = 5,
  dot11_phy_type_erp = 6,
  dot11_phy_type_ht = 7,
  dot11_phy_type_vht = 8,
  dot11_phy_type_dmg = 9,
  dot11_phy_type_he = 10,
  dot11_phy_type_eht = 11,
};

enum DOT11_AUTH_ALGORITHM : std::uint32_t {
  DOT11_AUTH_ALGO_80211_OPEN = 1,
  DOT11_AUTH_ALGO_80211_SHARED_KEY = 2,
  DOT11_AUTH_ALGO_WPA = 3,
  DOT11_AUTH_ALGO_WPA_PSK = 4,
  DOT11_AUTH_ALGO_WPA_NONE = 5,
  DOT11_AUTH_ALGO_RSNA = 6,
  DOT11_AUTH_ALGO_RSNA_PSK = 7,
  DOT11_AUTH_ALGO_WPA3 = 8,
  DOT11_AUTH_ALGO_WPA3_SAE = 9,
  DOT11_AUTH_ALGO_OWE = 10,
  DOT11_AUTH_ALGO_WPA3_ENT = 11,
};

enum DOT11_CIPHER_ALGORITHM : std::uint32_t {
  DOT11_CIPHER_ALGO_NONE = 0x00,
  DOT11_CIPHER_ALGO_WEP40 = 0x01,
  DOT11_CIPHER_ALGO_TKIP = 0x02,
  DOT11_CIPHER_ALGO_CCMP = 0x04,
  DOT11_CIPHER_ALGO_WEP104 = 0x05,
  DOT11_CIPHER_ALGO_BIP = 0x06,
  DOT11_CIPHER_ALGO_GCMP = 0x08,
  DOT11_CIPHER_ALGO_GCMP_256 = 0x09,
  DOT11_CIPHER_ALGO_CCMP_256 = 0x0a,
  DOT11_CIPHER_ALGO_BIP_GMAC_128 = 0x0b,
  DOT11_CIPHER_ALGO_BIP_GMAC_256 = 0x0c,
  DOT11_CIPHER_ALGO_BIP_CMAC_256 = 0x0d,
  DOT11_CIPHER_ALGO_WEP = 0x101,
};

using WLAN_REASON_CODE = DWORD;
using WLAN_SIGNAL_QUALITY = ULONG;
constexpr DWORD WLAN_MAX_PHY_TYPE_NUMBER = 8;

constexpr DWORD WLAN_AVAILABLE_NETWORK_CONNECTED = 0x00000001;
constexpr DWORD WLAN_AVAILABLE_NETWORK_HAS_PROFILE = 0x00000002;
constexpr DWORD WLAN_AVAILABLE_NETWORK_INCLUDE_ALL_ADHOC_PROFILES = 0x00000001;
constexpr DWORD WLAN_AVAILABLE_NETWORK_INCLUDE_ALL_MANUAL_HIDDEN_PROFILES = 0x00000002;

struct WLAN_AVAILABLE_NETWORK {
  WCHAR strProfileName[WLAN_MAX_NAME_LENGTH];
  DOT11_SSID dot11Ssid;
  DOT11_BSS_TYPE dot11BssType;
  ULONG uNumberOfBssids;
  BOOL bNetworkConnectable;
  WLAN_REASON_CODE wlanNotConnectableReason;
  ULONG uNumberOfPhyTypes;
  DOT11_PHY_TYPE dot11PhyTypes[WLAN_MAX_PHY_TYPE_NUMBER];
  BOOL bMorePhyTypes;
  WLAN_SIGNAL_QUALITY wlanSignalQuality;
  BOOL bSecurityEnabled;
  DOT11_AUTH_ALGORITHM dot11DefaultAuthAlgorithm;
  DOT11_CIPHER_ALGORITHM dot11DefaultCipherAlgorithm;
  DWORD dwFlags;
  DWORD dwReserved;
};

struct WLAN_AVAILABLE_NETWORK_LIST {
  DWORD dwNumberOfItems;
  DWORD dwIndex;
  WLAN_AVAILABLE_NETWORK Network[1];  // dwNumberOfItems entries follow
};
using PWLAN_AVAILABLE_NETWORK_LIST = WLAN_AVAILABLE_NETWORK_LIST*;

using DOT11_MAC_ADDRESS = UCHAR[6];

struct WLAN_RATE_SET {
  ULONG uRateSetLength;  // in bytes
  USHORT usRateSet[DOT11_RATE_SET_MAX_LENGTH];
};

struct WLAN_BSS_ENTRY {
  DOT11_SSID dot11Ssid;
  ULONG uPhyId;
  DOT11_MAC_ADDRESS dot11Bssid;
  DOT11_BSS_TYPE dot11BssType;
  DOT11_PHY_TYPE dot11BssPhyType;
  LONG lRssi;
  ULONG uLinkQuality;
  BOOLEAN bInRegDomain;
  USHORT usBeaconPeriod;
  ULONGLONG ullTimestamp;
  ULONGLONG ullHostTimestamp;
  USHORT usCapabilityInformation;
  ULONG ulChCenterFrequency;
  WLAN_RATE_SET wlanRateSet;
  ULONG ulIeOffset;
  ULONG ulIeSize;
};

struct WLAN_BSS_LIST {
  DWORD dwTotalSize;
  DWORD dwNumberOfItems;
  WLAN_BSS_ENTRY wlanBssEntries[1];  // dwNumberOfItems entries follow
};
using PWLAN_BSS_LIST = WLAN_BSS_LIST*;

constexpr DWORD WLAN_NOTIFICATION_SOURCE_NONE = 0;
constexpr DWORD WLAN_NOTIFICATION_SOURCE_ACM = 0x00000008;

enum WLAN_NOTIFICATION_ACM : std::uint32_t {
  wlan_notification_acm_scan_complete = 7,
  wlan_notification_acm_scan_fail = 8,
  wlan_notification_acm_interface_removal = 14,
};

struct WLAN_NOTIFICATION_DATA {
  DWORD NotificationSource;
  DWORD NotificationCode;
  GUID InterfaceGuid;
  DWORD dwDataSize;
  PVOID pData;
};
using PWLAN_NOTIFICATION_DATA = WLAN_NOTIFICATION_DATA*;

using WLAN_NOTIFICATION_CALLBACK = void (*)(PWLAN_NOTIFICATION_DATA, PVOID);
