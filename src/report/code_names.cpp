#include "report/code_names.h"

#include <span>

#include "report/text.h"

namespace wlsurvey {

namespace {

struct code_name {
  DWORD code;
  const char* text;
};

// The texts keep their blanks exactly, trailing ones included: the short
// record lines up on them.
constexpr code_name phy_type_names[] = {
    {1, "FHSS  frequency-hopping spread-spectrum"},
    {2, "DSSS  direct sequence spread spectrum"},
    {3, "IR    infrared"},
    {4, "OFDM  802.11a "},
    {5, "HRDSSS  high rate DSSS"},
    {6, "ERP   802.11g "},
    {7, "HT    802.11n "},
    {8, "VHT   802.11ac"},
};

constexpr code_name bss_type_names[] = {
    {1, "Infrastructure\n"},
    {2, "Independent (Ad-hoc)\n"},
};

constexpr code_name auth_names[] = {
    {1, "802.11 Open\n"}, {2, "802.11 Shared\n"}, {3, "WPA\n"},           {4, "WPA-PSK\n"},
    {5, "WPA-None\n"},    {6, "RSNA\n"},          {7, "RSNA with PSK\n"},
};

constexpr code_name cipher_names[] = {
    {0, "None\n"}, {1, "WEP-40\n"},  {2, "TKIP\n"},
    {4, "CCMP\n"}, {5, "WEP-104\n"}, {0x101, "WEP\n"},
};

constexpr code_name interface_state_names[] = {
    {0, "Not ready\n"},
    {1, "Connected\n"},
    {2, "First node in an ad hoc network\n"},
    {3, "Disconnecting\n"},
    {4, "Not connected\n"},
    {5, "Attempting to associate with a network\n"},
    {6, "Auto configuration is discovering settings for the network\n"},
    {7, "In process of authenticating\n"},
};

struct flag_tag {
  DWORD bit;
  const char* tag;
};

constexpr flag_tag network_flag_tags[] = {
    {0x001, "[Currently connected]"},  {0x002, "[Has profile]"},
    {0x004, "[Console user profile]"}, {0x008, "[Interworking supported]"},
    {0x010, "[Hotspot2 enabled]"},     {0x020, "[ANQP supported]"},
    {0x040, "[Domain network]"},       {0x080, "[Roaming network]"},
    {0x100, "[Autoconnect failed]"},
};

// ESS and IBSS are one two-bit field: a tag only when exactly one is set.
constexpr flag_tag capability_tags[] = {
    {0x04, "[pollable]"},
    {0x08, "[poll-request]"},
    {0x10, "[privacy]"},
};

const char* find(std::span<const code_name> table, DWORD code) {
  for (const auto& entry : table) {
    if (entry.code == code) return entry.text;
  }
  return nullptr;
}

bool append_name(std::string& out, std::span<const code_name> table, DWORD code) {
  const char* text = find(table, code);
  if (text != nullptr) out += text;
  return text != nullptr;
}

}  // namespace

void print_phy_type(std::string& out, DWORD phy_type) {
  if (!append_name(out, phy_type_names, phy_type)) {
    append_format(out, "Unknown %u", static_cast<unsigned>(phy_type));
  }
}

void append_bss_type_name(std::string& out, DWORD bss_type) {
  if (!append_name(out, bss_type_names, bss_type)) {
    append_format(out, "Other [%u]\n", static_cast<unsigned>(bss_type));
  }
}

void append_auth_name(std::string& out, DWORD auth) {
  if (!append_name(out, auth_names, auth)) {
    append_format(out, "Other [%u]\n", static_cast<unsigned>(auth));
  }
}

void append_cipher_name(std::string& out, DWORD cipher) {
  if (!append_name(out, cipher_names, cipher)) {
    append_format(out, "Other [%x]\n", static_cast<unsigned>(cipher));
  }
}

void append_interface_state_name(std::string& out, LONG state) {
  if (state < 0 || !append_name(out, interface_state_names, static_cast<DWORD>(state))) {
    append_format(out, "Unknown state %ld\n", static_cast<long>(state));
  }
}

void append_capability_tags(std::string& out, USHORT capability) {
  switch (capability & 0x03) {
    case 0x01: out += "[AP]"; break;
    case 0x02: out += "[Ad-hoc]"; break;
    default: break;
  }
  for (const auto& t : capability_tags) {
    if ((capability & t.bit) != 0) out += t.tag;
  }
}

void append_flag_tags(std::string& out, DWORD flags) {
  for (const auto& t : network_flag_tags) {
    if ((flags & t.bit) != 0) out += t.tag;
  }
}

}  // namespace wlsurvey
