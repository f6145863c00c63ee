#include "sim_service.h"

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <thread>

namespace wlsurvey::sim {

namespace {

// Stand-ins for the handles the simulated service hands out.
char client_token;
char event_token;

bool same_ssid(const DOT11_SSID& a, const DOT11_SSID& b) {
  if (a.uSSIDLength != b.uSSIDLength) return false;
  const std::size_t n = std::min<std::size_t>(a.uSSIDLength, DOT11_SSID_MAX_LENGTH);
  return std::memcmp(a.ucSSID, b.ucSSID, n) == 0;
}

}  // namespace

sim_service::sim_service(scenario world, console* streams)
    : world_(std::move(world)), streams_(streams) {}

sim_service::~sim_service() {
  // Lists a failed run leaves behind belong to the service; it frees them.
  for (auto& [p, kind] : live_) std::free(p);
}

console& sim_service::streams() {
  return streams_ != nullptr ? *streams_ : os_services::streams();
}

const fault* sim_service::take_fault(call what) {
  const std::uint32_t nth = ++call_counts_[static_cast<int>(what)];
  record_.calls.emplace_back(call_name(what));
  for (const fault& f : world_.faults) {
    if (f.what == what && f.nth == nth) return &f;
  }
  return nullptr;
}

DWORD sim_service::wlan_fault(call what) {
  // A WLAN call "failing" with result 0 would hand the program success and
  // no list; such a fault leaves the call as it is.
  const fault* f = take_fault(what);
  return f != nullptr ? f->result : ERROR_SUCCESS;
}

const wlan_interface* sim_service::find_interface(const GUID* guid) const {
  if (guid == nullptr) return nullptr;
  for (const auto& w : world_.interfaces) {
    if (same_guid(w.info.InterfaceGuid, *guid)) return &w;
  }
  return nullptr;
}

void* sim_service::hand_out(const std::string& kind, std::size_t bytes) {
  void* p = std::calloc(1, bytes);
  if (p == nullptr) throw std::bad_alloc();
  live_[p] = kind;
  ++record_.lists_live;
  int& now = ++live_by_kind_[kind];
  record_.most_live[kind] = std::max(record_.most_live[kind], now);
  return p;
}

void sim_service::deliver(const notification& n) {
  if (callback_ == nullptr) return;  // nobody registered: the service drops it
  WLAN_NOTIFICATION_DATA data{};
  data.NotificationSource = n.source;
  data.NotificationCode = n.code;
  data.InterfaceGuid = n.interface_guid;
  WLAN_NOTIFICATION_CALLBACK cb = callback_;
  PVOID context = callback_context_;
  // The service's own thread, as on a real system; joined so the delivery
  // falls inside the wait that scripts it.
  std::thread service_thread([cb, context, &data] { cb(&data, context); });
  service_thread.join();
  ++record_.notifications_delivered;
}

DWORD sim_service::WlanOpenHandle(DWORD, PDWORD pdwNegotiatedVersion, PHANDLE phClientHandle) {
  if (DWORD rc = wlan_fault(call::WlanOpenHandle); rc != ERROR_SUCCESS) return rc;
  *pdwNegotiatedVersion = world_.version;
  *phClientHandle = &client_token;
  return ERROR_SUCCESS;
}

DWORD sim_service::WlanEnumInterfaces(HANDLE hClientHandle,
                                      PWLAN_INTERFACE_INFO_LIST* ppInterfaceList) {
  if (DWORD rc = wlan_fault(call::WlanEnumInterfaces); rc != ERROR_SUCCESS) return rc;
  if (hClientHandle != &client_token) return ERROR_INVALID_HANDLE;
  const std::size_t n = world_.interfaces.size();
  auto* list = static_cast<WLAN_INTERFACE_INFO_LIST*>(
      hand_out("interfaces", offsetof(WLAN_INTERFACE_INFO_LIST, InterfaceInfo) +
                                 std::max<std::size_t>(n, 1) * sizeof(WLAN_INTERFACE_INFO)));
  list->dwNumberOfItems = static_cast<DWORD>(n);
  WLAN_INTERFACE_INFO* entries = list->InterfaceInfo;
  for (std::size_t k = 0; k < n; ++k) entries[k] = world_.interfaces[k].info;
  *ppInterfaceList = list;
  return ERROR_SUCCESS;
}

DWORD sim_service::WlanRegisterNotification(HANDLE hClientHandle, DWORD dwNotifSource, BOOL,
                                            WLAN_NOTIFICATION_CALLBACK funcCallback,
                                            PVOID pCallbackContext, PDWORD pdwPrevNotifSource) {
  if (DWORD rc = wlan_fault(call::WlanRegisterNotification); rc != ERROR_SUCCESS) return rc;
  if (hClientHandle != &client_token) return ERROR_INVALID_HANDLE;
  if (pdwPrevNotifSource != nullptr) {
    *pdwPrevNotifSource = callback_ != nullptr ? WLAN_NOTIFICATION_SOURCE_ACM : 0;
  }
  const bool on = dwNotifSource != WLAN_NOTIFICATION_SOURCE_NONE && funcCallback != nullptr;
  callback_ = on ? funcCallback : nullptr;
  callback_context_ = on ? pCallbackContext : nullptr;
  record_.registered = on;
  return ERROR_SUCCESS;
}

DWORD sim_service::WlanScan(HANDLE hClientHandle, const GUID* pInterfaceGuid) {
  // What was scripted for tick 0 has happened before this request (another
  // program's scan, say), whatever becomes of the request itself.
  const wlan_interface* w = find_interface(pInterfaceGuid);
  if (w != nullptr) {
    for (const auto& n : w->notifications) {
      if (n.tick == 0) deliver(n);
    }
  }
  if (DWORD rc = wlan_fault(call::WlanScan); rc != ERROR_SUCCESS) return rc;
  if (hClientHandle != &client_token) return ERROR_INVALID_HANDLE;
  if (w == nullptr) return ERROR_NOT_FOUND;
  scanning_ = w;
  scan_tick_ = 0;
  return ERROR_SUCCESS;
}

DWORD sim_service::WlanGetAvailableNetworkList(
    HANDLE hClientHandle, const GUID* pInterfaceGuid, DWORD,
    PWLAN_AVAILABLE_NETWORK_LIST* ppAvailableNetworkList) {
  if (DWORD rc = wlan_fault(call::WlanGetAvailableNetworkList); rc != ERROR_SUCCESS) return rc;
  if (hClientHandle != &client_token) return ERROR_INVALID_HANDLE;
  const wlan_interface* w = find_interface(pInterfaceGuid);
  if (w == nullptr) return ERROR_NOT_FOUND;
  const std::size_t n = w->networks.size();
  auto* list = static_cast<WLAN_AVAILABLE_NETWORK_LIST*>(
      hand_out("networks", offsetof(WLAN_AVAILABLE_NETWORK_LIST, Network) +
                               std::max<std::size_t>(n, 1) * sizeof(WLAN_AVAILABLE_NETWORK)));
  list->dwNumberOfItems = static_cast<DWORD>(n);
  WLAN_AVAILABLE_NETWORK* entries = list->Network;
  for (std::size_t k = 0; k < n; ++k) entries[k] = w->networks[k].entry;
  *ppAvailableNetworkList = list;
  return ERROR_SUCCESS;
}

DWORD sim_service::WlanGetNetworkBssList(HANDLE hClientHandle, const GUID* pInterfaceGuid,
                                         const DOT11_SSID* pDot11Ssid, DOT11_BSS_TYPE dot11BssType,
                                         BOOL bSecurityEnabled, PWLAN_BSS_LIST* ppWlanBssList) {
  if (DWORD rc = wlan_fault(call::WlanGetNetworkBssList); rc != ERROR_SUCCESS) return rc;
  if (hClientHandle != &client_token) return ERROR_INVALID_HANDLE;
  const wlan_interface* w = find_interface(pInterfaceGuid);
  if (w == nullptr || pDot11Ssid == nullptr) return ERROR_INVALID_PARAMETER;
  const std::vector<WLAN_BSS_ENTRY>* found = nullptr;
  for (const auto& net : w->networks) {
    if (same_ssid(net.entry.dot11Ssid, *pDot11Ssid) && net.entry.dot11BssType == dot11BssType &&
        (net.entry.bSecurityEnabled != 0) == (bSecurityEnabled != 0)) {
      found = &net.bss;
      break;
    }
  }
  const std::size_t n = found != nullptr ? found->size() : 0;
  const std::size_t bytes = offsetof(WLAN_BSS_LIST, wlanBssEntries) +
                            std::max<std::size_t>(n, 1) * sizeof(WLAN_BSS_ENTRY);
  auto* list = static_cast<WLAN_BSS_LIST*>(hand_out("bss", bytes));
  list->dwTotalSize = static_cast<DWORD>(bytes);
  list->dwNumberOfItems = static_cast<DWORD>(n);
  WLAN_BSS_ENTRY* entries = list->wlanBssEntries;
  for (std::size_t k = 0; k < n; ++k) entries[k] = (*found)[k];
  *ppWlanBssList = list;
  return ERROR_SUCCESS;
}

void sim_service::WlanFreeMemory(PVOID pMemory) {
  record_.calls.emplace_back("WlanFreeMemory");
  auto it = live_.find(pMemory);
  if (it == live_.end()) {
    ++record_.bad_frees;
    return;
  }
  --live_by_kind_[it->second];
  --record_.lists_live;
  std::free(it->first);
  live_.erase(it);
}

HANDLE sim_service::CreateEventW() {
  if (const fault* f = take_fault(call::CreateEventW)) {
    os_services::SetLastError(f->last_error);
    return nullptr;
  }
  event_open_ = true;
  event_signalled_ = false;
  return &event_token;
}

DWORD sim_service::WaitForSingleObject(HANDLE hHandle, DWORD) {
  // Virtual time: the wait passes at once, and what the script says happens
  // during it happens now.
  ++scan_tick_;
  if (scanning_ != nullptr) {
    for (const auto& n : scanning_->notifications) {
      if (n.tick == scan_tick_) deliver(n);
    }
  }
  if (const fault* f = take_fault(call::WaitForSingleObject)) {
    os_services::SetLastError(f->last_error);
    return f->result;
  }
  if (hHandle != &event_token || !event_open_) {
    os_services::SetLastError(ERROR_INVALID_HANDLE);
    return WAIT_FAILED;
  }
  if (event_signalled_) {
    event_signalled_ = false;  // automatic reset
    return WAIT_OBJECT_0;
  }
  return WAIT_TIMEOUT;
}

BOOL sim_service::SetEvent(HANDLE hEvent) {
  record_.calls.emplace_back("SetEvent");
  if (hEvent != &event_token || !event_open_) {
    os_services::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  event_signalled_ = true;
  return TRUE;
}

BOOL sim_service::CloseHandle(HANDLE hObject) {
  if (const fault* f = take_fault(call::CloseHandle)) {
    os_services::SetLastError(f->last_error);
    return FALSE;
  }
  if (hObject != &event_token || !event_open_) {
    os_services::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  event_open_ = false;
  return TRUE;
}

int sim_service::StringFromGUID2(const GUID& rguid, WCHAR* lpsz, int cchMax) {
  if (take_fault(call::StringFromGUID2) != nullptr) return 0;
  return os_services::StringFromGUID2(rguid, lpsz, cchMax);
}

BOOL sim_service::IsDebuggerPresent() {
  return world_.debugger ? TRUE : FALSE;
}

void sim_service::ExitProcess(UINT uExitCode) {
  record_.exit_process_code = uExitCode;
  if (exit_for_real_) os_services::ExitProcess(uExitCode);
}

}  // namespace wlsurvey::sim
