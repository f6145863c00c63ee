// wlsurvey-sim SCENARIO.json [ARG...]: runs the program against a scripted
// WLAN service, with this process's streams, and exits with its status.

#include <cstdio>
#include <string>
#include <vector>

#include "main/driver.h"
#include "scenario.h"
#include "sim_service.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: wlsurvey-sim SCENARIO.json [ARG...]\n");
    return 2;
  }
  wlsurvey::sim::scenario world;
  std::string error;
  if (!wlsurvey::sim::load_scenario(argv[1], world, error)) {
    std::fprintf(stderr, "wlsurvey-sim: %s: %s\n", argv[1], error.c_str());
    return 2;
  }
  // The program sees itself as argv[0] followed by the arguments after the
  // scenario.
  std::vector<const char*> args{argv[0]};
  for (int k = 2; k < argc; ++k) args.push_back(argv[k]);

  wlsurvey::sim::sim_service service(std::move(world));
  service.set_exit_for_real(true);
  return wlsurvey::run_wlsurvey(service, static_cast<int>(args.size()), args.data());
}
