#include "report/text.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

#include "platform/wide_text.h"

namespace wlsurvey {

namespace {

[[gnu::format(printf, 2, 0)]] void append_vformat(std::string& out, const char* fmt,
                                                  std::va_list args) {
  char small[256];
  std::va_list again;
  va_copy(again, args);
  int n = std::vsnprintf(small, sizeof small, fmt, args);
  if (n < 0) {
    va_end(again);
    return;
  }
  if (static_cast<std::size_t>(n) < sizeof small) {
    out.append(small, static_cast<std::size_t>(n));
  } else {
    std::size_t at = out.size();
    out.resize(at + static_cast<std::size_t>(n) + 1);
    std::vsnprintf(out.data() + at, static_cast<std::size_t>(n) + 1, fmt, again);
    out.resize(at + static_cast<std::size_t>(n));
  }
  va_end(again);
}

}  // namespace

void append_format(std::string& out, const char* fmt, ...) {
  std::va_list args;
  va_start(args, fmt);
  append_vformat(out, fmt, args);
  va_end(args);
}

std::string format(const char* fmt, ...) {
  std::string out;
  std::va_list args;
  va_start(args, fmt);
  append_vformat(out, fmt, args);
  va_end(args);
  return out;
}

void append_ssid(std::string& out, const DOT11_SSID& ssid) {
  const std::size_t length = std::min<std::size_t>(ssid.uSSIDLength, DOT11_SSID_MAX_LENGTH);
  for (std::size_t k = 0; k < length; ++k) {
    const UCHAR b = ssid.ucSSID[k];
    if (b < 0x20 || b == 0x7F) {
      append_hex_escape(out, b);
    } else {
      out += static_cast<char>(b);
    }
  }
}

}  // namespace wlsurvey
