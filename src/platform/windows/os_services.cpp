#include "platform/os_services.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace wlsurvey {

stdio_console::stdio_console() {
  // Text mode whatever the process default (_fmode) says: the program writes
  // LF and the user's tools expect CR LF.
  _setmode(_fileno(stdout), _O_TEXT);
  _setmode(_fileno(stderr), _O_TEXT);
  // Reports can be long: write them in large blocks. Progress output is
  // pushed with flush() where the user must see it at once.
  std::setvbuf(stdout, nullptr, _IOFBF, 1 << 16);
}


HANDLE os_services::CreateEventW() { return ::CreateEventW(nullptr, FALSE, FALSE, nullptr); }

DWORD os_services::WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) {
  return ::WaitForSingleObject(hHandle, dwMilliseconds);
}

BOOL os_services::SetEvent(HANDLE hEvent) { return ::SetEvent(hEvent); }

BOOL os_services::CloseHandle(HANDLE hObject) { return ::CloseHandle(hObject); }

void os_services::SetLastError(DWORD dwErrCode) { ::SetLastError(dwErrCode); }

DWORD os_services::GetLastError() { return ::GetLastError(); }

int os_services::StringFromGUID2(const GUID& rguid, WCHAR* lpsz, int cchMax) {
  return ::StringFromGUID2(rguid, lpsz, cchMax);
}

BOOL os_services::IsDebuggerPresent() { return ::IsDebuggerPresent(); }

void os_services::ExitProcess(UINT uExitCode) {
  // ExitProcess does not flush the C runtime's buffers on every runtime.
  console_.flush();
  ::ExitProcess(uExitCode);
}

}  // namespace wlsurvey
