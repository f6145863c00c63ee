#pragma once
// Building output lines: printf-style formatting into a byte string, and SSID
// bytes made safe for a terminal.

#include <string>

#include "wlan_types.h"

namespace wlsurvey {

// Appends the formatted text to out.
[[gnu::format(printf, 2, 3)]] void append_format(std::string& out, const char* fmt, ...);

// The formatted text as a new string.
[[gnu::format(printf, 1, 2)]] std::string format(const char* fmt, ...);

// Appends the SSID's bytes as they are, except control bytes (0x00-0x1F,
// 0x7F), which are written as \xNN. A length beyond the 32 bytes an SSID can
// hold is taken as 32.
void append_ssid(std::string& out, const DOT11_SSID& ssid);

}  // namespace wlsurvey
