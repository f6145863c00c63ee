#pragma once
// The one seam between the program and the system it runs on.
//
// The driver, the wait and the report talk to the WLAN service, the kernel
// event, the process and the console only through `platform`. A backend (the
// Windows WLAN API, nl80211 on Linux, the scripted service used by the tests)
// is one class implementing it; the program never asks which one it has.
//
// Operations carry the platform's own names and keep its conventions: every
// WLAN call returns a 32-bit result, 0 on success, and hands out lists that are
// released with WlanFreeMemory. Arguments the program always passes as
// "none" (reserved pointers, security attributes, event names) are left out.

#include <cstring>
#include <string_view>

#include "wlan_types.h"

namespace wlsurvey {

// The process's standard streams, as bytes. Each write goes out whole and in
// order; flush() pushes everything written so far to the device.
class console {
 public:
  virtual ~console() = default;
  virtual void write_out(std::string_view bytes) = 0;
  virtual void write_err(std::string_view bytes) = 0;
  virtual void flush() = 0;
  // One character from standard input, or a negative value at its end.
  virtual int read_char() = 0;
};

class platform {
 public:
  virtual ~platform() = default;

  // WLAN service.
  virtual DWORD WlanOpenHandle(DWORD dwClientVersion, PDWORD pdwNegotiatedVersion,
                               PHANDLE phClientHandle) = 0;
  virtual DWORD WlanEnumInterfaces(HANDLE hClientHandle,
                                   PWLAN_INTERFACE_INFO_LIST* ppInterfaceList) = 0;
  // Source WLAN_NOTIFICATION_SOURCE_NONE withdraws the registration; the
  // callback may run on another thread until that call returns.
  virtual DWORD WlanRegisterNotification(HANDLE hClientHandle, DWORD dwNotifSource,
                                         BOOL bIgnoreDuplicate,
                                         WLAN_NOTIFICATION_CALLBACK funcCallback,
                                         PVOID pCallbackContext, PDWORD pdwPrevNotifSource) = 0;
  // Starts a wildcard scan and returns at once.
  virtual DWORD WlanScan(HANDLE hClientHandle, const GUID* pInterfaceGuid) = 0;
  virtual DWORD WlanGetAvailableNetworkList(
      HANDLE hClientHandle, const GUID* pInterfaceGuid, DWORD dwFlags,
      PWLAN_AVAILABLE_NETWORK_LIST* ppAvailableNetworkList) = 0;
  virtual DWORD WlanGetNetworkBssList(HANDLE hClientHandle, const GUID* pInterfaceGuid,
                                      const DOT11_SSID* pDot11Ssid, DOT11_BSS_TYPE dot11BssType,
                                      BOOL bSecurityEnabled, PWLAN_BSS_LIST* ppWlanBssList) = 0;
  virtual void WlanFreeMemory(PVOID pMemory) = 0;

  // Kernel event (automatic reset, initially not signalled, unnamed) and the
  // calling thread's last-error code.
  virtual HANDLE CreateEventW() = 0;
  virtual DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) = 0;
  virtual BOOL SetEvent(HANDLE hEvent) = 0;
  virtual BOOL CloseHandle(HANDLE hObject) = 0;
  virtual void SetLastError(DWORD dwErrCode) = 0;
  virtual DWORD GetLastError() = 0;

  // Writes the braced upper-case GUID text and its terminator; returns the
  // characters written including the terminator, or 0 when cchMax is too small.
  virtual int StringFromGUID2(const GUID& rguid, WCHAR* lpsz, int cchMax) = 0;
  virtual BOOL IsDebuggerPresent() = 0;
  // Ends the process at once on a real platform (after flushing the console);
  // a scripted one may only record the call and return.
  virtual void ExitProcess(UINT uExitCode) = 0;

  virtual console& streams() = 0;
};

// GUIDs compare as their bytes, as the platform's own comparison does.
inline bool same_guid(const GUID& a, const GUID& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The backend a plain `wlsurvey` binary runs on; each backend that builds one
// defines it.
platform& native_platform();

}  // namespace wlsurvey
