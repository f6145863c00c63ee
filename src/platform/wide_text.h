#pragma once
// Turning platform text into output bytes.
//
// Everything shown comes from outside the program (radio SSIDs, driver
// descriptions, profile names), so control characters are never written raw:
// they would let a nearby transmitter move the cursor, rewrite the screen or
// split a one-line record. Each one is written as \xNN instead.

#include <cstddef>
#include <string>

#include "wlan_types.h"

namespace wlsurvey {

constexpr bool is_control_code(char32_t c) {
  return c < 0x20 || (c >= 0x7F && c <= 0x9F);
}

inline void append_hex_escape(std::string& out, unsigned value) {
  static constexpr char digits[] = "0123456789abcdef";
  out += '\\';
  out += 'x';
  out += digits[(value >> 4) & 0xF];
  out += digits[value & 0xF];
}

// Appends up to max_chars characters of text, stopping at a terminator, in
// the console encoding of this operating system (UTF-8 on POSIX systems; on
// Windows one byte per character up to U+00FF and "?" beyond).
void append_wide_text(std::string& out, const WCHAR* text, std::size_t max_chars);

}  // namespace wlsurvey
