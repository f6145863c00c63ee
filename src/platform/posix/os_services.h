#pragma once
// The process services of a POSIX system behind the seam: a real 100 ms timed
// wait on an eventfd, a per-thread last-error code, GUID text, the debugger
// query and the console. WLAN backends on POSIX derive from it.

#include <cstdio>

#include "platform/platform.h"

namespace wlsurvey {

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
