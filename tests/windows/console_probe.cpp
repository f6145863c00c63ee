// Writes a fixed set of lines through the Windows console layer, for the
// test that compares the bytes the C runtime puts on the pipe.

#include <string>

#include "platform/os_services.h"
#include "platform/wide_text.h"
#include "report/text.h"

int main() {
  wlsurvey::stdio_console out;
  out.write_out("plain\n");
  out.write_out("carriage return kept\r  progress\n");
  out.write_out("already CR LF\r\n");

  std::string line = "description ";
  wlsurvey::append_wide_text(line, L"caf\u00e9 \u4e2d! \x1b[2J", 64);
  line += '\n';
  out.write_out(line);

  DOT11_SSID ssid{};
  const char bytes[] = "caf\xe9\xff\x07";
  ssid.uSSIDLength = sizeof bytes - 1;
  for (ULONG k = 0; k < ssid.uSSIDLength; ++k) ssid.ucSSID[k] = static_cast<UCHAR>(bytes[k]);
  line = "ssid ";
  wlsurvey::append_ssid(line, ssid);
  line += '\n';
  out.write_out(line);

  out.write_err("\r\n[failed] ");
  out.flush();
  return 0;
}
