#pragma once
// The network and BSS report in the three output forms.

#include "platform/platform.h"

namespace wlsurvey {

struct run_flags {
  bool quiet = false;       // -q or -s: no labels, no banner, no progress
  bool short_form = false;  // -s: one record line per BSS; implies quiet
};

// Writes network `network` (index m of interface i) and every BSS of `bss_list`.
void report_network(console& out, const run_flags& flags, int i, int m,
                    const WLAN_AVAILABLE_NETWORK& network, const WLAN_BSS_LIST& bss_list);

}  // namespace wlsurvey
