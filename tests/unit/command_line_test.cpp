#include "main/command_line.h"

#include <gtest/gtest.h>

#include <vector>

#include "capture_console.h"

namespace wlsurvey {
namespace {

struct line_case {
  std::vector<const char*> args;  // after the program name
  bool quiet;
  bool short_form;
};

const line_case line_cases[] = {
    {{}, false, false},         {{"-q"}, true, false},      {{"-Q"}, true, false},
    {{"-s"}, true, true},       {{"-S"}, true, true},       {{"-q", "-s"}, true, true},
    {{"-s", "-q"}, true, true}, {{"-s", "-s"}, true, true}, {{"x", "-Q", "y"}, true, false},
    {{"-qs"}, false, false},    {{"--q"}, false, false},    {{"/q"}, false, false},
    {{"-quiet"}, false, false}, {{"q"}, false, false},      {{"-"}, false, false},
    {{""}, false, false},       {{"-x", "-S"}, true, true},
};

TEST(command_line, switches_select_the_form) {
  for (const auto& c : line_cases) {
    std::vector<const char*> argv{"wlsurvey"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const run_flags f = parse_command_line(static_cast<int>(argv.size()), argv.data());
    std::string shown;
    for (const char* a : c.args) shown += std::string("'") + a + "' ";
    EXPECT_EQ(f.quiet, c.quiet) << shown;
    EXPECT_EQ(f.short_form, c.short_form) << shown;
  }
}

TEST(command_line, program_name_is_not_a_switch) {
  const char* argv[] = {"-s"};
  const run_flags f = parse_command_line(1, argv);
  EXPECT_FALSE(f.quiet);
  EXPECT_FALSE(f.short_form);
}

TEST(command_line, banner_only_in_the_full_form) {
  testing::capture_console full, quiet;
  print_banner(full, run_flags{});
  print_banner(quiet, run_flags{true, false});
  EXPECT_EQ(full.out,
            "Wireless network scanner utility  (c) 2026 the wlsurvey developers  [-q -s]\n");
  EXPECT_EQ(quiet.out, "");
}

}  // namespace
}  // namespace wlsurvey
