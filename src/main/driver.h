#pragma once

#include "platform/platform.h"

namespace wlsurvey {

// The whole program: command line, scan of every interface, report. Returns
// 0 after a complete run and -1 after a failure.
int run_wlsurvey(platform& system, int argc, const char* const* argv);

}  // namespace wlsurvey
