#include "scenario.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>

namespace wlsurvey::sim {

namespace {

using json = nlohmann::json;

constexpr std::array<std::string_view, call_count> call_names = {
    "CreateEventW",
    "WlanOpenHandle",
    "WlanEnumInterfaces",
    "WlanRegisterNotification",
    "WlanScan",
    "WaitForSingleObject",
    "WlanGetAvailableNetworkList",
    "WlanGetNetworkBssList",
    "StringFromGUID2",
    "CloseHandle",
};

// Validation stops at the first problem; `where` names the place in the file.
struct reader {
  std::string error;

  bool fail(const std::string& where, const std::string& problem) {
    if (error.empty()) error = (where.empty() ? std::string("scenario") : where) + ": " + problem;
    return false;
  }

  bool object(const json& j, const std::string& where, std::initializer_list<const char*> keys) {
    if (!j.is_object()) return fail(where, "expected an object");
    for (const auto& item : j.items()) {
      if (std::find_if(keys.begin(), keys.end(), [&](const char* k) { return item.key() == k; }) ==
          keys.end()) {
        return fail(where, "unknown key \"" + item.key() + "\"");
      }
    }
    return true;
  }

  template <typename T>
  bool integer(const json& j, const char* key, const std::string& where, T& out) {
    if (!j.contains(key)) return true;
    const json& v = j.at(key);
    const std::string at = where + "." + key;
    if (!v.is_number_integer()) return fail(at, "expected an integer");
    using limits = std::numeric_limits<T>;
    if (v.is_number_unsigned()) {
      auto u = v.get<std::uint64_t>();
      if (u > static_cast<std::uint64_t>(limits::max())) return fail(at, "out of range");
      out = static_cast<T>(u);
    } else {
      auto s = v.get<std::int64_t>();
      if (s < static_cast<std::int64_t>(limits::min()) ||
          s > static_cast<std::int64_t>(limits::max())) {
        return fail(at, "out of range");
      }
      out = static_cast<T>(s);
    }
    return true;
  }

  bool boolean(const json& j, const char* key, const std::string& where, bool& out) {
    if (!j.contains(key)) return true;
    if (!j.at(key).is_boolean()) return fail(where + "." + key, "expected true or false");
    out = j.at(key).get<bool>();
    return true;
  }

  bool array(const json& j, const char* key, const std::string& where) {
    if (!j.contains(key)) return true;
    if (!j.at(key).is_array()) return fail(where + "." + key, "expected an array");
    return true;
  }

  bool text(const json& j, const char* key, const std::string& where, std::string& out) {
    if (!j.contains(key)) return true;
    if (!j.at(key).is_string()) return fail(where + "." + key, "expected a string");
    out = j.at(key).get<std::string>();
    return true;
  }

  // UTF-8 text into at most 256 wide characters, NUL-terminated when shorter.
  bool wide_name(const json& j, const char* key, const std::string& where, WCHAR* out) {
    std::string utf8;
    if (!text(j, key, where, utf8)) return false;
    std::vector<char32_t> chars;
    if (!decode_utf8(utf8, chars)) return fail(where + "." + key, "not valid UTF-8");
    std::vector<WCHAR> units;
    for (char32_t c : chars) {
      if constexpr (sizeof(WCHAR) == 2) {
        if (c >= 0x10000) {
          units.push_back(static_cast<WCHAR>(0xD800 + ((c - 0x10000) >> 10)));
          units.push_back(static_cast<WCHAR>(0xDC00 + ((c - 0x10000) & 0x3FF)));
          continue;
        }
      }
      units.push_back(static_cast<WCHAR>(c));
    }
    const std::size_t n = std::min<std::size_t>(units.size(), WLAN_MAX_NAME_LENGTH);
    std::copy_n(units.begin(), n, out);
    if (n < WLAN_MAX_NAME_LENGTH) out[n] = 0;
    return true;
  }

  static bool decode_utf8(const std::string& s, std::vector<char32_t>& out) {
    for (std::size_t k = 0; k < s.size();) {
      const auto b = static_cast<unsigned char>(s[k]);
      const std::size_t extra = b < 0x80             ? 0
                                : (b & 0xE0) == 0xC0 ? 1
                                : (b & 0xF0) == 0xE0 ? 2
                                : (b & 0xF8) == 0xF0 ? 3
                                                     : 4;
      if (extra == 4 || extra > s.size() - k - 1) return false;
      char32_t c = extra == 0 ? b : (b & (0x3Fu >> extra));
      for (std::size_t e = 1; e <= extra; ++e) {
        const auto cont = static_cast<unsigned char>(s[k + e]);
        if ((cont & 0xC0) != 0x80) return false;
        c = (c << 6) | (cont & 0x3Fu);
      }
      out.push_back(c);
      k += extra + 1;
    }
    return true;
  }

  static int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  }

  static bool hex_bytes(const std::string& s, std::vector<std::uint8_t>& out) {
    if (s.size() % 2 != 0) return false;
    for (std::size_t k = 0; k < s.size(); k += 2) {
      int hi = hex_digit(s[k]), lo = hex_digit(s[k + 1]);
      if (hi < 0 || lo < 0) return false;
      out.push_back(static_cast<std::uint8_t>(hi * 16 + lo));
    }
    return true;
  }

  // "ssid" or "ssid_hex", and "ssid_length"; when none is given the SSID stays
  // as it came in (the network's, for a BSS).
  bool ssid(const json& j, const std::string& where, DOT11_SSID& out) {
    std::optional<std::vector<std::uint8_t>> bytes;
    if (j.contains("ssid") && j.contains("ssid_hex")) {
      return fail(where, "\"ssid\" and \"ssid_hex\" exclude each other");
    }
    if (j.contains("ssid")) {
      std::string s;
      if (!text(j, "ssid", where, s)) return false;
      bytes.emplace(s.begin(), s.end());
    } else if (j.contains("ssid_hex")) {
      std::string s;
      if (!text(j, "ssid_hex", where, s)) return false;
      bytes.emplace();
      if (!hex_bytes(s, *bytes)) return fail(where + ".ssid_hex", "expected pairs of hex digits");
    }
    if (bytes) {
      std::memset(out.ucSSID, 0, sizeof out.ucSSID);
      const std::size_t n = std::min<std::size_t>(bytes->size(), DOT11_SSID_MAX_LENGTH);
      std::copy_n(bytes->begin(), n, out.ucSSID);
      out.uSSIDLength = static_cast<ULONG>(bytes->size());
    }
    return integer(j, "ssid_length", where, out.uSSIDLength);
  }

  bool guid(const std::string& s, GUID& out) {
    // {XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}
    if (s.size() != 38 || s.front() != '{' || s.back() != '}') return false;
    std::string hex;
    for (std::size_t k = 1; k + 1 < s.size(); ++k) {
      const bool dash = k == 9 || k == 14 || k == 19 || k == 24;
      if (dash != (s[k] == '-')) return false;
      if (!dash) hex += s[k];
    }
    std::vector<std::uint8_t> b;
    if (!hex_bytes(hex, b)) return false;
    out.Data1 = (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) |
                (std::uint32_t{b[2]} << 8) | b[3];
    out.Data2 = static_cast<std::uint16_t>((b[4] << 8) | b[5]);
    out.Data3 = static_cast<std::uint16_t>((b[6] << 8) | b[7]);
    std::copy_n(b.begin() + 8, 8, out.Data4);
    return true;
  }

  bool bssid(const std::string& s, UCHAR* out) {
    // aa:bb:cc:dd:ee:ff
    if (s.size() != 17) return false;
    for (int k = 0; k < 6; ++k) {
      if (k > 0 && s[static_cast<std::size_t>(k * 3 - 1)] != ':') return false;
      int hi = hex_digit(s[static_cast<std::size_t>(k * 3)]);
      int lo = hex_digit(s[static_cast<std::size_t>(k * 3 + 1)]);
      if (hi < 0 || lo < 0) return false;
      out[k] = static_cast<UCHAR>(hi * 16 + lo);
    }
    return true;
  }

  bool read_fault(const json& j, const std::string& where, fault& out) {
    if (!object(j, where, {"call", "nth", "result", "last_error"})) return false;
    if (!j.contains("call")) return fail(where, "missing \"call\"");
    std::string name;
    if (!text(j, "call", where, name)) return false;
    auto it = std::find(call_names.begin(), call_names.end(), name);
    if (it == call_names.end()) return fail(where + ".call", "unknown call \"" + name + "\"");
    out.what = static_cast<call>(it - call_names.begin());
    if (!integer(j, "nth", where, out.nth) || !integer(j, "result", where, out.result) ||
        !integer(j, "last_error", where, out.last_error)) {
      return false;
    }
    if (out.nth == 0) return fail(where + ".nth", "counts from 1");
    return true;
  }

  bool read_bss(const json& j, const std::string& where, const network& net, WLAN_BSS_ENTRY& b) {
    if (!object(j, where,
                {"bssid", "ssid", "ssid_hex", "ssid_length", "bss_type", "phy", "rssi", "quality",
                 "reg_domain", "beacon_period", "capability", "frequency", "rates",
                 "rate_set_length"})) {
      return false;
    }
    b = WLAN_BSS_ENTRY{};
    b.dot11Ssid = net.entry.dot11Ssid;
    b.dot11BssType = net.entry.dot11BssType;
    std::string mac;
    if (!text(j, "bssid", where, mac)) return false;
    if (j.contains("bssid") && !bssid(mac, b.dot11Bssid)) {
      return fail(where + ".bssid", "expected \"aa:bb:cc:dd:ee:ff\"");
    }
    std::uint32_t bss_type = b.dot11BssType, phy = 0;
    bool reg_domain = false;
    if (!ssid(j, where, b.dot11Ssid) || !integer(j, "bss_type", where, bss_type) ||
        !integer(j, "phy", where, phy) || !integer(j, "rssi", where, b.lRssi) ||
        !integer(j, "quality", where, b.uLinkQuality) ||
        !boolean(j, "reg_domain", where, reg_domain) ||
        !integer(j, "beacon_period", where, b.usBeaconPeriod) ||
        !integer(j, "capability", where, b.usCapabilityInformation) ||
        !integer(j, "frequency", where, b.ulChCenterFrequency) || !array(j, "rates", where)) {
      return false;
    }
    b.dot11BssType = static_cast<DOT11_BSS_TYPE>(bss_type);
    b.dot11BssPhyType = static_cast<DOT11_PHY_TYPE>(phy);
    b.bInRegDomain = reg_domain ? 1 : 0;
    std::size_t given = 0;
    if (j.contains("rates")) {
      const json& rates = j.at("rates");
      given = rates.size();
      for (std::size_t k = 0; k < rates.size(); ++k) {
        const std::string at = where + ".rates[" + std::to_string(k) + "]";
        if (!rates[k].is_number_unsigned() || rates[k].get<std::uint64_t>() > 0xFFFF) {
          return fail(at, "expected a 16-bit rate");
        }
        if (k < DOT11_RATE_SET_MAX_LENGTH) b.wlanRateSet.usRateSet[k] = rates[k].get<USHORT>();
      }
    }
    b.wlanRateSet.uRateSetLength = static_cast<ULONG>(2 * given);
    return integer(j, "rate_set_length", where, b.wlanRateSet.uRateSetLength);
  }

  bool read_network(const json& j, const std::string& where, network& net) {
    if (!object(j, where,
                {"profile", "ssid", "ssid_hex", "ssid_length", "bss_type", "security",
                 "connectable", "not_connectable_reason", "auth", "cipher", "flags", "bss"})) {
      return false;
    }
    WLAN_AVAILABLE_NETWORK& n = net.entry;
    n = WLAN_AVAILABLE_NETWORK{};
    std::uint32_t bss_type = 1, auth = 1, cipher = 0;
    bool security = false, connectable = true;
    if (!wide_name(j, "profile", where, n.strProfileName) || !ssid(j, where, n.dot11Ssid) ||
        !integer(j, "bss_type", where, bss_type) || !boolean(j, "security", where, security) ||
        !boolean(j, "connectable", where, connectable) ||
        !integer(j, "not_connectable_reason", where, n.wlanNotConnectableReason) ||
        !integer(j, "auth", where, auth) || !integer(j, "cipher", where, cipher) ||
        !integer(j, "flags", where, n.dwFlags) || !array(j, "bss", where)) {
      return false;
    }
    n.dot11BssType = static_cast<DOT11_BSS_TYPE>(bss_type);
    n.bSecurityEnabled = security ? TRUE : FALSE;
    n.bNetworkConnectable = connectable ? TRUE : FALSE;
    n.dot11DefaultAuthAlgorithm = static_cast<DOT11_AUTH_ALGORITHM>(auth);
    n.dot11DefaultCipherAlgorithm = static_cast<DOT11_CIPHER_ALGORITHM>(cipher);
    if (j.contains("bss")) {
      const json& list = j.at("bss");
      for (std::size_t k = 0; k < list.size(); ++k) {
        net.bss.emplace_back();
        if (!read_bss(list[k], where + ".bss[" + std::to_string(k) + "]", net, net.bss.back())) {
          return false;
        }
      }
    }
    n.uNumberOfBssids = static_cast<ULONG>(net.bss.size());
    return true;
  }

  // A notification's interface is an index into the list or a GUID text;
  // it is resolved once every interface is known.
  bool read_notification(const json& j, const std::string& where, notification& out,
                         json& interface_ref) {
    if (!object(j, where, {"tick", "source", "code", "interface"})) return false;
    if (!integer(j, "tick", where, out.tick) || !integer(j, "source", where, out.source) ||
        !integer(j, "code", where, out.code)) {
      return false;
    }
    if (j.contains("interface")) interface_ref = j.at("interface");
    return true;
  }

  bool read_scenario(const json& j, scenario& out) {
    if (!object(j, "", {"version", "debugger", "faults", "interfaces"})) return false;
    if (!integer(j, "version", "scenario", out.version) ||
        !boolean(j, "debugger", "scenario", out.debugger) || !array(j, "faults", "scenario") ||
        !array(j, "interfaces", "scenario")) {
      return false;
    }
    if (j.contains("faults")) {
      const json& list = j.at("faults");
      for (std::size_t k = 0; k < list.size(); ++k) {
        out.faults.emplace_back();
        if (!read_fault(list[k], "faults[" + std::to_string(k) + "]", out.faults.back())) {
          return false;
        }
      }
    }
    if (!j.contains("interfaces")) return true;

    const json& list = j.at("interfaces");
    std::vector<std::vector<json>> refs(list.size());
    for (std::size_t k = 0; k < list.size(); ++k) {
      const std::string where = "interfaces[" + std::to_string(k) + "]";
      const json& ij = list[k];
      if (!object(ij, where, {"guid", "description", "state", "notifications", "networks"})) {
        return false;
      }
      out.interfaces.emplace_back();
      wlan_interface& w = out.interfaces.back();
      // The default GUID carries the interface's index in its last digits.
      w.info.InterfaceGuid = GUID{};
      for (int d = 0; d < 4; ++d) {
        w.info.InterfaceGuid.Data4[7 - d] = static_cast<std::uint8_t>(k >> (8 * d));
      }
      std::string guid_text;
      if (!text(ij, "guid", where, guid_text)) return false;
      if (ij.contains("guid") && !guid(guid_text, w.info.InterfaceGuid)) {
        return fail(where + ".guid", "expected \"{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}\"");
      }
      std::int32_t state = wlan_interface_state_disconnected;
      if (!wide_name(ij, "description", where, w.info.strInterfaceDescription) ||
          !integer(ij, "state", where, state) || !array(ij, "notifications", where) ||
          !array(ij, "networks", where)) {
        return false;
      }
      w.info.isState = static_cast<WLAN_INTERFACE_STATE>(state);
      if (ij.contains("notifications")) {
        const json& nl = ij.at("notifications");
        for (std::size_t n = 0; n < nl.size(); ++n) {
          w.notifications.emplace_back();
          refs[k].emplace_back();
          if (!read_notification(nl[n], where + ".notifications[" + std::to_string(n) + "]",
                                 w.notifications.back(), refs[k].back())) {
            return false;
          }
        }
      }
      if (ij.contains("networks")) {
        const json& nl = ij.at("networks");
        for (std::size_t n = 0; n < nl.size(); ++n) {
          w.networks.emplace_back();
          if (!read_network(nl[n], where + ".networks[" + std::to_string(n) + "]",
                            w.networks.back())) {
            return false;
          }
        }
      }
    }
    for (std::size_t k = 0; k < out.interfaces.size(); ++k) {
      for (std::size_t n = 0; n < refs[k].size(); ++n) {
        const json& ref = refs[k][n];
        GUID& g = out.interfaces[k].notifications[n].interface_guid;
        const std::string where = "interfaces[" + std::to_string(k) + "].notifications[" +
                                  std::to_string(n) + "].interface";
        if (ref.is_null()) {
          g = out.interfaces[k].info.InterfaceGuid;
        } else if (ref.is_number_unsigned() && ref.get<std::uint64_t>() < out.interfaces.size()) {
          g = out.interfaces[ref.get<std::size_t>()].info.InterfaceGuid;
        } else if (ref.is_string()) {
          if (!guid(ref.get<std::string>(), g)) {
            return fail(where, "expected an interface index or a GUID text");
          }
        } else {
          return fail(where, "expected an interface index or a GUID text");
        }
      }
    }
    return true;
  }
};

}  // namespace

const char* call_name(call what) {
  return call_names[static_cast<std::size_t>(what)].data();
}

bool parse_scenario(std::string_view text, scenario& out, std::string& error) {
  json j = json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
  if (j.is_discarded()) {
    error = "not valid JSON";
    return false;
  }
  out = scenario{};
  reader r;
  if (!r.read_scenario(j, out)) {
    error = r.error;
    return false;
  }
  return true;
}

bool load_scenario(const std::string& path, scenario& out, std::string& error) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) {
    error = "is a directory";
    return false;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot be read";
    return false;
  }
  std::ostringstream text;
  text << in.rdbuf();
  if (in.bad()) {
    error = "cannot be read";
    return false;
  }
  return parse_scenario(text.str(), out, error);
}

}  // namespace wlsurvey::sim
