// Writing through the C runtime's streams is the same on every system; only
// how the streams are set up (os_services.cpp of each system) differs.

#include <cstdio>

#include "platform/os_services.h"

namespace wlsurvey {

void stdio_console::write_out(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

void stdio_console::write_err(std::string_view bytes) {
  std::fwrite(bytes.data(), 1, bytes.size(), stderr);
}

void stdio_console::flush() {
  std::fflush(stdout);
  std::fflush(stderr);
}

int stdio_console::read_char() {
  return std::fgetc(stdin);
}

}  // namespace wlsurvey
