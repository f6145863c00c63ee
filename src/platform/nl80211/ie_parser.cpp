#include "ie_parser.h"

#include <algorithm>

namespace wlsurvey::nl80211 {

namespace {

using bytes = std::span<const std::uint8_t>;

constexpr std::uint8_t eid_ssid = 0;
constexpr std::uint8_t eid_supported_rates = 1;
constexpr std::uint8_t eid_erp = 42;
constexpr std::uint8_t eid_ht_capabilities = 45;
constexpr std::uint8_t eid_rsn = 48;
constexpr std::uint8_t eid_extended_rates = 50;
constexpr std::uint8_t eid_vht_capabilities = 191;
constexpr std::uint8_t eid_vendor = 221;
constexpr std::uint8_t eid_extension = 255;
constexpr std::uint8_t ext_he_capabilities = 35;
constexpr std::uint8_t ext_eht_capabilities = 108;

// A little-endian cursor that refuses to read past its end.
class reader {
 public:
  explicit reader(bytes b) : b_(b) {}
  std::size_t left() const { return b_.size() - at_; }
  bool u16(std::uint16_t& v) {
    if (left() < 2) return false;
    v = static_cast<std::uint16_t>(b_[at_] | (b_[at_ + 1] << 8));
    at_ += 2;
    return true;
  }
  // Suite selectors are written OUI first, type last.
  bool selector(suite& s) {
    if (left() < 4) return false;
    s = (suite{b_[at_]} << 24) | (suite{b_[at_ + 1]} << 16) | (suite{b_[at_ + 2]} << 8) |
        suite{b_[at_ + 3]};
    at_ += 4;
    return true;
  }

 private:
  bytes b_;
  std::size_t at_ = 0;
};

// Reads "count, suites" into list; a count beyond the element is cut to
// what is there. False when even the count is missing.
bool read_suites(reader& r, std::uint8_t& kept, std::array<suite, security_element::max_suites>& list) {
  std::uint16_t count = 0;
  if (!r.u16(count)) return false;
  kept = 0;
  suite s = 0;
  for (std::uint16_t k = 0; k < count && r.selector(s); ++k) {
    if (kept < list.size()) list[kept++] = s;
  }
  return true;
}

// The RSN body and the WPA body after its vendor header share one layout;
// only the defaults for missing fields differ.
void parse_security(bytes body, security_element& out, suite default_cipher, suite default_akm) {
  reader r(body);
  std::uint16_t version = 0;
  if (!r.u16(version) || version != 1) return;  // an unknown version is not ours to read
  out.present = true;
  out.group_cipher = default_cipher;
  out.pairwise_count = 1;
  out.pairwise[0] = default_cipher;
  out.akm_count = 1;
  out.akm[0] = default_akm;
  if (!r.selector(out.group_cipher)) return;
  if (!read_suites(r, out.pairwise_count, out.pairwise)) return;
  read_suites(r, out.akm_count, out.akm);
}

void on_ssid(ie_summary& s, bytes body) {
  if (s.has_ssid) return;
  s.has_ssid = true;
  // Longer than an SSID can be: keep what fits, as the record holds no more.
  s.ssid_length = static_cast<std::uint8_t>(std::min(body.size(), s.ssid.size()));
  std::copy_n(body.begin(), s.ssid_length, s.ssid.begin());
}

void on_rates(ie_summary& s, bytes body) {
  for (std::uint8_t b : body) {
    const std::uint8_t value = b & 0x7F;
    const bool basic = (b & 0x80) != 0;
    // 121..127 with the basic bit are BSS membership selectors (HT, VHT,
    // SAE H2E ...), not rates; 0 is no rate at all.
    if (value == 0 || (basic && value >= 121)) continue;
    if (s.rate_count == s.rates.size()) return;
    s.rates[s.rate_count++] = static_cast<std::uint16_t>(value | (basic ? 0x8000 : 0));
  }
}

void on_erp(ie_summary& s, bytes) { s.has_erp = true; }
void on_ht(ie_summary& s, bytes) { s.has_ht = true; }
void on_vht(ie_summary& s, bytes) { s.has_vht = true; }

void on_rsn(ie_summary& s, bytes body) {
  if (s.rsn.present) return;
  parse_security(body, s.rsn, rsn_suite(4), rsn_suite(1));
}

void on_vendor(ie_summary& s, bytes body) {
  constexpr std::uint8_t wpa_header[] = {0x00, 0x50, 0xF2, 0x01};
  if (s.wpa.present || !std::equal(std::begin(wpa_header), std::end(wpa_header), body.begin())) return;
  parse_security(body.subspan(4), s.wpa, wpa_suite(2), wpa_suite(1));
}

// Minimum lengths count the extension id byte.
struct extension_rule {
  std::uint8_t ext_id;
  std::size_t min_length;
  bool ie_summary::*flag;
};

constexpr extension_rule extension_rules[] = {
    {ext_he_capabilities, 1 + 6 + 11 + 4, &ie_summary::has_he},   // MAC, PHY, one MCS set
    {ext_eht_capabilities, 1 + 2 + 9 + 3, &ie_summary::has_eht},  // MAC, PHY, one MCS set
};

void on_extension(ie_summary& s, bytes body) {
  for (const auto& rule : extension_rules) {
    if (body[0] == rule.ext_id && body.size() >= rule.min_length) s.*rule.flag = true;
  }
}

struct element_rule {
  std::uint8_t id;
  std::size_t min_length;
  std::size_t max_length;
  void (*handle)(ie_summary&, bytes);
};

// Fixed-size elements have their exact size. Rates are left open above
// because access points that put every rate in one element are common; an
// SSID is taken at any length and cut to 32.
constexpr element_rule element_rules[] = {
    {eid_ssid, 0, 255, on_ssid},
    {eid_supported_rates, 1, 255, on_rates},
    {eid_erp, 1, 1, on_erp},
    {eid_ht_capabilities, 26, 26, on_ht},
    {eid_rsn, 2, 255, on_rsn},
    {eid_extended_rates, 1, 255, on_rates},
    {eid_vht_capabilities, 12, 12, on_vht},
    {eid_vendor, 4, 255, on_vendor},
    {eid_extension, 1, 255, on_extension},
};

}  // namespace

ie_summary parse_ies(std::span<const std::uint8_t> ies) {
  ie_summary s;
  std::size_t at = 0;
  while (ies.size() - at >= 2) {
    const std::uint8_t id = ies[at];
    const std::size_t length = ies[at + 1];
    at += 2;
    if (length > ies.size() - at) break;  // the element claims more than there is
    const bytes body = ies.subspan(at, length);
    at += length;
    for (const auto& rule : element_rules) {
      if (rule.id != id) continue;
      if (length >= rule.min_length && length <= rule.max_length) rule.handle(s, body);
      break;
    }
  }
  return s;
}

}  // namespace wlsurvey::nl80211
