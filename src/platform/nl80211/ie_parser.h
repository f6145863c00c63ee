#pragma once
// Reading the information elements of a beacon or probe response.
//
// The bytes come from any transmitter in range, so nothing in them is
// trusted: every read is bounded by the element's own length and by the
// buffer. No libnl here, so the parser can be tested and fuzzed on its own.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace wlsurvey::nl80211 {

// A cipher or AKM suite selector: OUI in the top three bytes, type below.
using suite = std::uint32_t;

constexpr suite rsn_suite(std::uint8_t type) { return 0x000FAC00u | type; }
constexpr suite wpa_suite(std::uint8_t type) { return 0x0050F200u | type; }

// An RSN element or the older WPA vendor element. Suite lists longer than
// what is kept are cut; an element that ends early leaves the standard's
// defaults for the fields it does not reach.
struct security_element {
  static constexpr std::size_t max_suites = 8;

  bool present = false;
  suite group_cipher = 0;
  std::uint8_t pairwise_count = 0;
  std::array<suite, max_suites> pairwise{};
  std::uint8_t akm_count = 0;
  std::array<suite, max_suites> akm{};
};

struct ie_summary {
  static constexpr std::size_t max_rates = 126;  // what WLAN_RATE_SET holds

  bool has_ssid = false;
  std::uint8_t ssid_length = 0;
  std::array<std::uint8_t, 32> ssid{};

  // Supported and Extended Supported Rates in order: 500 kbit/s units, 0x8000
  // for a basic rate. Membership selectors are not rates and are left out.
  std::uint8_t rate_count = 0;
  std::array<std::uint16_t, max_rates> rates{};

  bool has_erp = false;
  bool has_ht = false;
  bool has_vht = false;
  bool has_he = false;
  bool has_eht = false;

  security_element rsn;
  security_element wpa;
};

// Parses a whole element list. A truncated element ends it; an element whose
// length is outside what its kind allows is skipped. The first of duplicate
// SSID, RSN and WPA elements wins.
ie_summary parse_ies(std::span<const std::uint8_t> ies);

}  // namespace wlsurvey::nl80211
