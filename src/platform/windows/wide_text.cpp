#include "platform/wide_text.h"

namespace wlsurvey {

// The console bytes of UTF-16 text, as the C runtime's default locale would
// write them: one byte for each character up to U+00FF and "?" for any other.
// The runtime itself stops writing at the first character it cannot convert;
// here a character never cuts the rest of the text off.
void append_wide_text(std::string& out, const WCHAR* text, std::size_t max_chars) {
  for (std::size_t k = 0; k < max_chars && text[k] != 0; ++k) {
    const auto c = static_cast<char16_t>(text[k]);
    if (is_control_code(c)) {
      append_hex_escape(out, c);
    } else if (c <= 0xFF) {
      out += static_cast<char>(c);
    } else {
      // A surrogate pair is one character and becomes one "?".
      if (c >= 0xD800 && c <= 0xDBFF && k + 1 < max_chars) {
        const auto next = static_cast<char16_t>(text[k + 1]);
        if (next >= 0xDC00 && next <= 0xDFFF) ++k;
      }
      out += '?';
    }
  }
}

}  // namespace wlsurvey
