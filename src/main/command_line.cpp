#include "main/command_line.h"

namespace wlsurvey {

namespace {

bool is_switch(const char* arg, char letter) {
  if (arg == nullptr || arg[0] != '-' || arg[1] == '\0' || arg[2] != '\0') return false;
  const char c = arg[1];
  return c == letter || c == letter - 'a' + 'A';
}

bool has_switch(int argc, const char* const* argv, char letter) {
  for (int k = 1; k < argc; ++k) {
    if (is_switch(argv[k], letter)) return true;
  }
  return false;
}

}  // namespace

run_flags parse_command_line(int argc, const char* const* argv) {
  run_flags flags;
  flags.quiet = has_switch(argc, argv, 'q');
  if (has_switch(argc, argv, 's')) {
    flags.short_form = true;
    flags.quiet = true;
  }
  return flags;
}

void print_banner(console& out, const run_flags& flags) {
  if (flags.quiet) return;
  out.write_out("Wireless network scanner utility  (c) 2026 the wlsurvey developers  [-q -s]\n");
}

}  // namespace wlsurvey
