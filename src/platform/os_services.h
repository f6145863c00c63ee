#pragma once
// The operating system's process services behind the seam: the kernel event
// used as the scan wait's timer, the thread's last-error code, GUID text, the
// debugger query, the immediate process end and the console. Each system
// folder implements it (posix/: an eventfd with real timed waits, TracerPid;
// windows/: the kernel's own objects, the C runtime's streams in text mode, so
// each LF reaches a console, pipe or file as CR LF). WLAN backends derive
// from it and add the WLAN operations.

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
