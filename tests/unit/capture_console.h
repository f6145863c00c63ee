#pragma once
// A console that keeps what the program writes, for comparing whole outputs.

#include <string>

#include "platform/platform.h"

namespace wlsurvey::testing {

class capture_console final : public console {
 public:
  std::string out, err;
  std::string input;  // what read_char hands out, one character a call
  int flushes = 0;
  int reads = 0;

  void write_out(std::string_view bytes) override { out.append(bytes); }
  void write_err(std::string_view bytes) override { err.append(bytes); }
  void flush() override { ++flushes; }
  int read_char() override {
    ++reads;
    if (input.empty()) return -1;
    int c = static_cast<unsigned char>(input.front());
    input.erase(0, 1);
    return c;
  }
};

}  // namespace wlsurvey::testing
