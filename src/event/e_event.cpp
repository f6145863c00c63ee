#include "event/e_event.h"

namespace wlsurvey {

bool e_event::create() {
  platform_.SetLastError(0);
  handle = platform_.CreateEventW();
  valid_ = handle != nullptr;
  return valid_;
}

std::int32_t e_event::wait_time(DWORD milliseconds) {
  if (!valid_) return no_event;
  switch (platform_.WaitForSingleObject(handle, milliseconds)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED: return 0;
    case WAIT_TIMEOUT: return timed_out;
    default: return static_cast<std::int32_t>(platform_.GetLastError());
  }
}

void e_event::release() {
  if (!valid_) return;
  platform_.SetEvent(handle);
  if (!platform_.CloseHandle(handle)) {
    (void)platform_.GetLastError();  // nothing left to do about a failed close
  }
  handle = nullptr;
  valid_ = false;
}

}  // namespace wlsurvey
