#pragma once
// Owner of the kernel event that serves as the scan wait's 100 ms timer.

#include <cstdint>

#include "platform/platform.h"

namespace wlsurvey {

class e_event {
 public:
  // Codes of wait_time besides the last-error values it passes on.
  static constexpr std::int32_t no_event = 111;
  static constexpr std::int32_t timed_out = 138;

  explicit e_event(platform& p) : platform_(p) {}
  e_event(const e_event&) = delete;
  e_event& operator=(const e_event&) = delete;

  // Creates the event; on failure the platform's last-error code tells why.
  bool create();
  // 0 when signalled, timed_out after the time has passed, no_event without
  // an event, otherwise the last-error code of the failed wait.
  std::int32_t wait_time(DWORD milliseconds);
  // Signals and closes the event; safe to call when there is none.
  void release();
  bool valid() const { return valid_; }

 private:
  platform& platform_;
  HANDLE handle = nullptr;
  bool valid_ = false;
};

}  // namespace wlsurvey
