#include "platform/wide_text.h"

namespace wlsurvey {

namespace {

void append_utf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

void append_wide_text(std::string& out, const WCHAR* text, std::size_t max_chars) {
  for (std::size_t k = 0; k < max_chars && text[k] != 0; ++k) {
    auto c = static_cast<char32_t>(text[k]);
    if (is_control_code(c)) {
      append_hex_escape(out, static_cast<unsigned>(c));
    } else if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
      append_utf8(out, U'\uFFFD');  // not a character: keep the output valid UTF-8
    } else {
      append_utf8(out, c);
    }
  }
}

}  // namespace wlsurvey
