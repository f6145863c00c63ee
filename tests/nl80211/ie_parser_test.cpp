// The information-element parser on hand-made beacons, good and hostile.
#include "ie_parser.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "wlan_records.h"

namespace wlsurvey::nl80211 {
namespace {

using buffer = std::vector<std::uint8_t>;

// One element: id, length, body. The length can be made to lie.
buffer el(std::uint8_t id, const buffer& body, int claimed = -1) {
  buffer out;
  out.push_back(id);
  out.push_back(static_cast<std::uint8_t>(claimed < 0 ? body.size() : static_cast<std::size_t>(claimed)));
  for (auto b : body) out.push_back(b);
  return out;
}

buffer cat(std::initializer_list<buffer> parts) {
  buffer out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

buffer text(const std::string& s) { return buffer(s.begin(), s.end()); }

// RSN body: version 1, group, pairwise list, AKM list (types under 00-0F-AC).
buffer rsn(std::uint8_t group, buffer pairwise, buffer akm) {
  buffer b{1, 0, 0x00, 0x0F, 0xAC, group, static_cast<std::uint8_t>(pairwise.size()), 0};
  for (auto t : pairwise) b.insert(b.end(), {0x00, 0x0F, 0xAC, t});
  b.insert(b.end(), {static_cast<std::uint8_t>(akm.size()), 0});
  for (auto t : akm) b.insert(b.end(), {0x00, 0x0F, 0xAC, t});
  b.insert(b.end(), {0, 0});  // RSN capabilities
  return b;
}

buffer wpa(std::uint8_t group, buffer pairwise, buffer akm) {
  buffer b{0x00, 0x50, 0xF2, 0x01, 1, 0, 0x00, 0x50, 0xF2, group, static_cast<std::uint8_t>(pairwise.size()), 0};
  for (auto t : pairwise) b.insert(b.end(), {0x00, 0x50, 0xF2, t});
  b.insert(b.end(), {static_cast<std::uint8_t>(akm.size()), 0});
  for (auto t : akm) b.insert(b.end(), {0x00, 0x50, 0xF2, t});
  return b;
}

std::vector<std::uint16_t> rates_of(const ie_summary& s) {
  return {s.rates.begin(), s.rates.begin() + s.rate_count};
}

struct rates_case {
  const char* name;
  friend void PrintTo(const rates_case& c, std::ostream* os) { *os << c.name; }
  buffer ies;
  std::vector<std::uint16_t> rates;
};

class rates : public testing::TestWithParam<rates_case> {};

TEST_P(rates, are_read_in_order_with_basic_bit_and_without_selectors) {
  EXPECT_EQ(rates_of(parse_ies(GetParam().ies)), GetParam().rates);
}

buffer many_rate_elements() {
  buffer out;
  for (int k = 0; k < 16; ++k) out = cat({out, el(1, {2, 4, 11, 22, 12, 18, 24, 36})});
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    ie, rates,
    testing::Values(
        rates_case{"basic_bit", el(1, {0x82, 0x84, 0x0b, 0x16}), {0x8002, 0x8004, 11, 22}},
        rates_case{"extended_follow_supported",
                   cat({el(1, {0x82, 0x0c}), el(3, {6}), el(50, {0x30, 0xec})}),
                   {0x8002, 12, 48, 0x806c}},
        // HT 127, VHT 126, SAE hash-to-element 123 are selectors, not rates.
        rates_case{"membership_selectors", el(1, {0x82, 0xFF, 0xFE, 0xFB, 0x0c}), {0x8002, 12}},
        rates_case{"zero_length_rates_ignored", cat({el(1, {}), el(50, {0x0c})}), {12}},
        rates_case{"capped_at_126", many_rate_elements(),
                   [] {
                     std::vector<std::uint16_t> v;
                     for (int k = 0; k < 16; ++k) v.insert(v.end(), {2, 4, 11, 22, 12, 18, 24, 36});
                     v.resize(126);
                     return v;
                   }()}),
    [](const auto& p) { return std::string(p.param.name); });

struct ssid_case {
  const char* name;
  friend void PrintTo(const ssid_case& c, std::ostream* os) { *os << c.name; }
  buffer ies;
  bool has_ssid;
  buffer ssid;
};

class ssid : public testing::TestWithParam<ssid_case> {};

TEST_P(ssid, is_taken_from_the_first_ssid_element_and_capped) {
  const ie_summary s = parse_ies(GetParam().ies);
  EXPECT_EQ(s.has_ssid, GetParam().has_ssid);
  EXPECT_EQ(buffer(s.ssid.begin(), s.ssid.begin() + s.ssid_length), GetParam().ssid);
}

INSTANTIATE_TEST_SUITE_P(
    ie, ssid,
    testing::Values(ssid_case{"plain", el(0, text("home")), true, text("home")},
                    ssid_case{"hidden_empty", el(0, {}), true, {}},
                    ssid_case{"hidden_zero_bytes", el(0, buffer(5, 0)), true, buffer(5, 0)},
                    ssid_case{"thirty_three_bytes", el(0, text(std::string(32, 'a') + "b")), true,
                              text(std::string(32, 'a'))},
                    // Claims 33 bytes, has 10: the element is cut off, so is parsing.
                    ssid_case{"thirty_three_claimed", el(0, text("0123456789"), 33), false, {}},
                    ssid_case{"first_wins", cat({el(0, text("one")), el(0, text("two"))}), true, text("one")},
                    ssid_case{"absent", el(1, {0x82}), false, {}}),
    [](const auto& p) { return std::string(p.param.name); });

struct bounds_case {
  const char* name;
  friend void PrintTo(const bounds_case& c, std::ostream* os) { *os << c.name; }
  buffer ies;
  bool ht, vht, he, eht, erp;
};

class bounds : public testing::TestWithParam<bounds_case> {};

TEST_P(bounds, elements_outside_their_length_are_ignored) {
  const ie_summary s = parse_ies(GetParam().ies);
  EXPECT_EQ(s.has_ht, GetParam().ht);
  EXPECT_EQ(s.has_vht, GetParam().vht);
  EXPECT_EQ(s.has_he, GetParam().he);
  EXPECT_EQ(s.has_eht, GetParam().eht);
  EXPECT_EQ(s.has_erp, GetParam().erp);
}

buffer ext(std::uint8_t ext_id, std::size_t body) {
  buffer b(body, 0);
  b.insert(b.begin(), ext_id);
  return el(255, b);
}

INSTANTIATE_TEST_SUITE_P(
    ie, bounds,
    testing::Values(
        bounds_case{"ht_exact", el(45, buffer(26, 0)), true, false, false, false, false},
        bounds_case{"ht_oversized", el(45, buffer(27, 0)), false, false, false, false, false},
        bounds_case{"ht_short", el(45, buffer(25, 0)), false, false, false, false, false},
        bounds_case{"vht_exact", el(191, buffer(12, 0)), false, true, false, false, false},
        bounds_case{"erp_oversized", el(42, {0, 0}), false, false, false, false, false},
        bounds_case{"he_cap", ext(35, 21), false, false, true, false, false},
        bounds_case{"he_cap_short", ext(35, 20), false, false, false, false, false},
        bounds_case{"eht_cap", ext(108, 14), false, false, false, true, false},
        // An extension element with no extension id must not be read at all.
        bounds_case{"extension_empty_at_end", cat({el(42, {0}), el(255, {})}), false, false, false, false, true},
        // A truncated element ends parsing: nothing after it counts.
        bounds_case{"truncated_hides_the_rest", cat({el(42, {0}), el(45, buffer(10, 0), 26), el(191, buffer(12, 0))}),
                    false, false, false, false, true},
        bounds_case{"lone_trailing_byte", cat({el(42, {0}), buffer{45}}), false, false, false, false, true},
        bounds_case{"unknown_elements_skipped", cat({el(7, text("CN ")), el(221, {}), el(42, {0})}), false, false,
                    false, false, true}),
    [](const auto& p) { return std::string(p.param.name); });

struct security_case {
  const char* name;
  friend void PrintTo(const security_case& c, std::ostream* os) { *os << c.name; }
  buffer ies;
  std::uint16_t capability;
  bool enabled;
  DOT11_AUTH_ALGORITHM auth;
  DOT11_CIPHER_ALGORITHM cipher;
};

class security_elements : public testing::TestWithParam<security_case> {};

TEST_P(security_elements, give_the_default_auth_and_cipher) {
  const security s = security_of(parse_ies(GetParam().ies), GetParam().capability);
  EXPECT_EQ(s.enabled, GetParam().enabled);
  EXPECT_EQ(s.auth, GetParam().auth);
  EXPECT_EQ(s.cipher, GetParam().cipher);
}

constexpr std::uint16_t privacy = 0x0011;
constexpr std::uint16_t open_ess = 0x0001;

INSTANTIATE_TEST_SUITE_P(
    ie, security_elements,
    testing::Values(
        security_case{"open", el(0, text("x")), open_ess, false, DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_NONE},
        security_case{"wep", el(0, text("x")), privacy, true, DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_WEP},
        security_case{"rsn_psk_ccmp", el(48, rsn(4, {4}, {2})), privacy, true, DOT11_AUTH_ALGO_RSNA_PSK,
                      DOT11_CIPHER_ALGO_CCMP},
        security_case{"rsn_sae", el(48, rsn(4, {4}, {8})), privacy, true, DOT11_AUTH_ALGO_WPA3_SAE,
                      DOT11_CIPHER_ALGO_CCMP},
        security_case{"rsn_psk_sae_transition", el(48, rsn(4, {4}, {2, 8})), privacy, true, DOT11_AUTH_ALGO_WPA3_SAE,
                      DOT11_CIPHER_ALGO_CCMP},
        security_case{"rsn_owe", el(48, rsn(4, {4}, {18})), privacy, true, DOT11_AUTH_ALGO_OWE,
                      DOT11_CIPHER_ALGO_CCMP},
        security_case{"rsn_8021x", el(48, rsn(4, {4}, {1})), privacy, true, DOT11_AUTH_ALGO_RSNA,
                      DOT11_CIPHER_ALGO_CCMP},
        security_case{"rsn_suite_b_192", el(48, rsn(9, {9}, {12})), privacy, true, DOT11_AUTH_ALGO_WPA3,
                      DOT11_CIPHER_ALGO_GCMP_256},
        security_case{"rsn_tkip_only", el(48, rsn(2, {2}, {2})), privacy, true, DOT11_AUTH_ALGO_RSNA_PSK,
                      DOT11_CIPHER_ALGO_TKIP},
        security_case{"rsn_tkip_and_ccmp", el(48, rsn(2, {2, 4}, {2})), privacy, true, DOT11_AUTH_ALGO_RSNA_PSK,
                      DOT11_CIPHER_ALGO_CCMP},
        security_case{"rsn_gcmp", el(48, rsn(8, {8}, {2})), privacy, true, DOT11_AUTH_ALGO_RSNA_PSK,
                      DOT11_CIPHER_ALGO_GCMP},
        security_case{"rsn_use_group", el(48, rsn(2, {0}, {2})), privacy, true, DOT11_AUTH_ALGO_RSNA_PSK,
                      DOT11_CIPHER_ALGO_TKIP},
        // Only a version: the standard's defaults, CCMP and 802.1X.
        security_case{"rsn_version_only", el(48, {1, 0}), privacy, true, DOT11_AUTH_ALGO_RSNA,
                      DOT11_CIPHER_ALGO_CCMP},
        // Two pairwise suites claimed, one there: it is read, the AKM keeps its default.
        security_case{"rsn_count_beyond_element", el(48, {1, 0, 0, 0x0F, 0xAC, 4, 2, 0, 0, 0x0F, 0xAC, 2}), privacy,
                      true, DOT11_AUTH_ALGO_RSNA, DOT11_CIPHER_ALGO_TKIP},
        security_case{"rsn_unknown_version", el(48, {2, 0, 0, 0x0F, 0xAC, 4}), privacy, true,
                      DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_WEP},
        security_case{"rsn_without_privacy_bit", el(48, rsn(4, {4}, {2})), open_ess, true,
                      DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP},
        security_case{"wpa_psk_tkip", el(221, wpa(2, {2}, {2})), privacy, true, DOT11_AUTH_ALGO_WPA_PSK,
                      DOT11_CIPHER_ALGO_TKIP},
        security_case{"wpa_8021x", el(221, wpa(2, {2}, {1})), privacy, true, DOT11_AUTH_ALGO_WPA,
                      DOT11_CIPHER_ALGO_TKIP},
        security_case{"rsn_before_wpa", cat({el(221, wpa(2, {2}, {2})), el(48, rsn(4, {4}, {2}))}), privacy, true,
                      DOT11_AUTH_ALGO_RSNA_PSK, DOT11_CIPHER_ALGO_CCMP},
        // WMM uses the same OUI with type 2: not a WPA element.
        security_case{"wmm_is_not_wpa", el(221, {0x00, 0x50, 0xF2, 0x02, 1, 0, 0x00, 0x50, 0xF2, 2}), privacy, true,
                      DOT11_AUTH_ALGO_80211_OPEN, DOT11_CIPHER_ALGO_WEP}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace wlsurvey::nl80211
