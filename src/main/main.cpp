#include "main/driver.h"

int main(int argc, char** argv) {
  return wlsurvey::run_wlsurvey(wlsurvey::native_platform(), argc, argv);
}
