#pragma once
// Names of the numeric codes in the WLAN records, appended to a line.

#include <string>

#include "wlan_types.h"

namespace wlsurvey {

// PHY type name, no line feed.
void print_phy_type(std::string& out, DWORD phy_type);

// Each of these ends with a line feed.
void append_bss_type_name(std::string& out, DWORD bss_type);
void append_auth_name(std::string& out, DWORD auth);
void append_cipher_name(std::string& out, DWORD cipher);
void append_interface_state_name(std::string& out, LONG state);

// Bracketed tags, one after another, no line feed.
void append_capability_tags(std::string& out, USHORT capability);
void append_flag_tags(std::string& out, DWORD flags);

}  // namespace wlsurvey
