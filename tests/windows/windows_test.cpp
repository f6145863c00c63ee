// The Windows OS layer on the real system: text encoding for the console and
// the kernel services the scan wait and the interface header depend on.

#include <gtest/gtest.h>

#include <string>

#include "platform/os_services.h"
#include "platform/wide_text.h"

namespace wlsurvey {
namespace {

struct wide_case {
  const char* name;
  std::wstring text;
  std::size_t max_chars;
  std::string bytes;
  friend void PrintTo(const wide_case& c, std::ostream* os) { *os << c.name; }
};

class wide_text_test : public testing::TestWithParam<wide_case> {};

TEST_P(wide_text_test, console_bytes) {
  const wide_case& c = GetParam();
  std::string out = "<";
  append_wide_text(out, c.text.c_str(), c.max_chars);
  EXPECT_EQ(out, "<" + c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    windows, wide_text_test,
    testing::Values(
        wide_case{"ascii", L"Adapter 1", 256, "Adapter 1"},
        wide_case{"latin1_one_byte", L"caf\u00e9 \u00a0\u00ff", 256, "caf\xe9 \xa0\xff"},
        wide_case{"beyond_latin1", L"\u0100x\u4e2d\u20ac", 256, "?x??"},
        wide_case{"surrogate_pair_is_one_character", L"a\U0001F600b", 256, "a?b"},
        wide_case{"lone_surrogates", std::wstring{L'a', 0xDC00, L'b', 0xD83D}, 256, "a?b?"},
        wide_case{"pair_cut_by_limit", L"a\U0001F600", 2, "a?"},
        wide_case{"c0_controls", std::wstring{0x01, L'\t', L'\n', 0x1B, 0x1F}, 256,
                  "\\x01\\x09\\x0a\\x1b\\x1f"},
        wide_case{"del_and_c1_controls", L"\x7f\x80\x9f", 256, "\\x7f\\x80\\x9f"},
        wide_case{"stops_at_terminator", std::wstring(L"ab\0cd", 5), 5, "ab"},
        wide_case{"stops_at_limit", L"abcdef", 3, "abc"}),
    [](const testing::TestParamInfo<wide_case>& p) { return std::string(p.param.name); });

class os_services_test : public testing::Test {
 protected:
  struct no_wlan final : os_services {
    DWORD WlanOpenHandle(DWORD, PDWORD, PHANDLE) override { return ERROR_NOT_SUPPORTED; }
    DWORD WlanEnumInterfaces(HANDLE, PWLAN_INTERFACE_INFO_LIST*) override { return ERROR_NOT_SUPPORTED; }
    DWORD WlanRegisterNotification(HANDLE, DWORD, BOOL, WLAN_NOTIFICATION_CALLBACK, PVOID,
                                   PDWORD) override {
      return ERROR_NOT_SUPPORTED;
    }
    DWORD WlanScan(HANDLE, const GUID*) override { return ERROR_NOT_SUPPORTED; }
    DWORD WlanGetAvailableNetworkList(HANDLE, const GUID*, DWORD,
                                      PWLAN_AVAILABLE_NETWORK_LIST*) override {
      return ERROR_NOT_SUPPORTED;
    }
    DWORD WlanGetNetworkBssList(HANDLE, const GUID*, const DOT11_SSID*, DOT11_BSS_TYPE, BOOL,
                                PWLAN_BSS_LIST*) override {
      return ERROR_NOT_SUPPORTED;
    }
    void WlanFreeMemory(PVOID) override {}
  } os;
};

TEST_F(os_services_test, guid_text_needs_room_for_terminator) {
  const GUID g = {0x5a6b7c8d, 0x1e2f, 0x4a3b, {0x9c, 0x0d, 0xe1, 0xf2, 0xa3, 0xb4, 0xc5, 0xd6}};
  WCHAR text[40] = {};
  EXPECT_EQ(os.StringFromGUID2(g, text, 38), 0);
  ASSERT_EQ(os.StringFromGUID2(g, text, 39), 39);
  EXPECT_EQ(std::wstring(text), L"{5A6B7C8D-1E2F-4A3B-9C0D-E1F2A3B4C5D6}");
}

TEST_F(os_services_test, event_resets_itself_after_one_wait) {
  HANDLE e = os.CreateEventW();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(os.WaitForSingleObject(e, 0), WAIT_TIMEOUT);  // created not signalled
  ASSERT_TRUE(os.SetEvent(e));
  EXPECT_EQ(os.WaitForSingleObject(e, 0), WAIT_OBJECT_0);
  EXPECT_EQ(os.WaitForSingleObject(e, 10), WAIT_TIMEOUT);
  EXPECT_TRUE(os.CloseHandle(e));
}

TEST_F(os_services_test, failed_wait_leaves_last_error) {
  os.SetLastError(0);
  EXPECT_EQ(os.WaitForSingleObject(nullptr, 0), WAIT_FAILED);
  EXPECT_EQ(os.GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

}  // namespace
}  // namespace wlsurvey
