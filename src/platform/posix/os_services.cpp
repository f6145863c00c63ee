#include "platform/os_services.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace wlsurvey {

namespace {

thread_local DWORD last_error = 0;

// Event handles carry fd + 1 so that no valid handle is null.
HANDLE handle_of(int fd) {
  return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(fd) + 1);
}
int fd_of(HANDLE h) {
  return static_cast<int>(reinterpret_cast<std::intptr_t>(h) - 1);
}

}  // namespace

stdio_console::stdio_console() {
  // Reports can be long: write them in large blocks. Progress output is
  // pushed with flush() where the user must see it at once.
  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
}


HANDLE os_services::CreateEventW() {
  int fd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (fd < 0) {
    last_error = static_cast<DWORD>(errno);
    return nullptr;
  }
  return handle_of(fd);
}

DWORD os_services::WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  if (hHandle == nullptr) {
    last_error = ERROR_INVALID_HANDLE;
    return WAIT_FAILED;
  }
  pollfd p{fd_of(hHandle), POLLIN, 0};
  int timeout = dwMilliseconds > 0x7FFFFFFF ? -1 : static_cast<int>(dwMilliseconds);
  for (;;) {
    int n = ::poll(&p, 1, timeout);
    if (n < 0 && errno == EINTR) continue;  // a signal is not the end of the tick
    if (n < 0) {
      last_error = static_cast<DWORD>(errno);
      return WAIT_FAILED;
    }
    if (n == 0) return WAIT_TIMEOUT;
    std::uint64_t count = 0;
    // Reading resets the event: automatic reset, as the program asked for.
    if (::read(p.fd, &count, sizeof count) < 0 && errno != EAGAIN) {
      last_error = static_cast<DWORD>(errno);
      return WAIT_FAILED;
    }
    return WAIT_OBJECT_0;
  }
}

BOOL os_services::SetEvent(HANDLE hEvent) {
  std::uint64_t one = 1;
  if (hEvent == nullptr || ::write(fd_of(hEvent), &one, sizeof one) < 0) {
    last_error = hEvent == nullptr ? ERROR_INVALID_HANDLE : static_cast<DWORD>(errno);
    return FALSE;
  }
  return TRUE;
}

BOOL os_services::CloseHandle(HANDLE hObject) {
  if (hObject == nullptr || ::close(fd_of(hObject)) != 0) {
    last_error = hObject == nullptr ? ERROR_INVALID_HANDLE : static_cast<DWORD>(errno);
    return FALSE;
  }
  return TRUE;
}

void os_services::SetLastError(DWORD dwErrCode) {
  last_error = dwErrCode;
}

DWORD os_services::GetLastError() {
  return last_error;
}

int os_services::StringFromGUID2(const GUID& g, WCHAR* lpsz, int cchMax) {
  char text[40];
  int n = std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                        static_cast<unsigned>(g.Data1), g.Data2, g.Data3, g.Data4[0], g.Data4[1],
                        g.Data4[2], g.Data4[3], g.Data4[4], g.Data4[5], g.Data4[6], g.Data4[7]);
  if (lpsz == nullptr || cchMax < n + 1) return 0;
  for (int k = 0; k <= n; ++k) lpsz[k] = static_cast<WCHAR>(text[k]);
  return n + 1;
}

BOOL os_services::IsDebuggerPresent() {
  // A tracer (gdb, strace) shows in TracerPid; 0 means none.
  std::FILE* f = std::fopen("/proc/self/status", "re");
  if (f == nullptr) return FALSE;
  char line[256];
  long tracer = 0;
  while (std::fgets(line, sizeof line, f) != nullptr) {
    if (std::strncmp(line, "TracerPid:", 10) == 0) {
      tracer = std::strtol(line + 10, nullptr, 10);
      break;
    }
  }
  std::fclose(f);
  return tracer != 0 ? TRUE : FALSE;
}

void os_services::ExitProcess(UINT uExitCode) {
  console_.flush();
  ::_exit(static_cast<int>(uExitCode));
}

}  // namespace wlsurvey
