#pragma once

#include "platform/platform.h"
#include "report/report.h"

namespace wlsurvey {

// -q: quiet; -s: short (and quiet). Case does not matter; every other
// argument is ignored.
run_flags parse_command_line(int argc, const char* const* argv);

// The banner line, written only in the full form.
void print_banner(console& out, const run_flags& flags);

}  // namespace wlsurvey
