#pragma once
// The process services of Windows behind the seam: the kernel event, the
// thread's last-error code, GUID text, the debugger query and the console.
// WLAN backends on Windows derive from it.

#include <cstdio>

#include "platform/platform.h"

namespace wlsurvey {

// Writes through the C runtime's streams in text mode, so that each LF
// reaches the console, a pipe or a file as CR LF, as Windows tools expect.
class stdio_console final : public console {
 public:
  stdio_console();
  void write_out(std::string_view bytes) override;
  void write_err(std::string_view bytes) override;
  void flush() override;
  int read_char() override;
};

class os_services : public platform {
 public:
  HANDLE CreateEventW() override;
  DWORD WaitForSingleObject(HANDLE hHandle, DWORD dwMilliseconds) override;
  BOOL SetEvent(HANDLE hEvent) override;
  BOOL CloseHandle(HANDLE hObject) override;
  void SetLastError(DWORD dwErrCode) override;
  DWORD GetLastError() override;
  int StringFromGUID2(const GUID& rguid, WCHAR* lpsz, int cchMax) override;
  BOOL IsDebuggerPresent() override;
  void ExitProcess(UINT uExitCode) override;
  console& streams() override { return console_; }

 private:
  stdio_console console_;
};

}  // namespace wlsurvey
