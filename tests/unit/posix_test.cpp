// The POSIX layer: the event as a timer, GUID text and the console encoding.

#include <gtest/gtest.h>

#include <string>

#include "capture_console.h"
#include "main/driver.h"
#include "platform/os_services.h"
#include "platform/wide_text.h"
#include "scenario.h"
#include "sim_service.h"

namespace wlsurvey {
namespace {

class bare_os final : public os_services {
 public:
  DWORD WlanOpenHandle(DWORD, PDWORD, PHANDLE) override { return 1; }
  DWORD WlanEnumInterfaces(HANDLE, PWLAN_INTERFACE_INFO_LIST*) override { return 1; }
  DWORD WlanRegisterNotification(HANDLE, DWORD, BOOL, WLAN_NOTIFICATION_CALLBACK, PVOID,
                                 PDWORD) override {
    return 1;
  }
  DWORD WlanScan(HANDLE, const GUID*) override { return 1; }
  DWORD WlanGetAvailableNetworkList(HANDLE, const GUID*, DWORD,
                                    PWLAN_AVAILABLE_NETWORK_LIST*) override {
    return 1;
  }
  DWORD WlanGetNetworkBssList(HANDLE, const GUID*, const DOT11_SSID*, DOT11_BSS_TYPE, BOOL,
                              PWLAN_BSS_LIST*) override {
    return 1;
  }
  void WlanFreeMemory(PVOID) override {}
};

TEST(posix_layer, event_times_out_until_signalled_and_resets_itself) {
  bare_os os;
  HANDLE e = os.CreateEventW();
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(os.WaitForSingleObject(e, 0), WAIT_TIMEOUT);
  EXPECT_EQ(os.WaitForSingleObject(e, 5), WAIT_TIMEOUT);
  ASSERT_TRUE(os.SetEvent(e));
  EXPECT_EQ(os.WaitForSingleObject(e, 1000), WAIT_OBJECT_0);
  EXPECT_EQ(os.WaitForSingleObject(e, 0), WAIT_TIMEOUT);
  EXPECT_TRUE(os.CloseHandle(e));
  EXPECT_EQ(os.WaitForSingleObject(nullptr, 0), WAIT_FAILED);
  EXPECT_EQ(os.GetLastError(), ERROR_INVALID_HANDLE);
}

TEST(posix_layer, guid_text_needs_room_for_its_terminator) {
  bare_os os;
  const GUID g{0x3f1c2a9e, 0x7b4d, 0x4e21, {0x9a, 0x6f, 0x0c, 0x5d, 0x8e, 0x2b, 0x1a, 0x47}};
  WCHAR text[40] = {};
  EXPECT_EQ(os.StringFromGUID2(g, text, 38), 0);
  EXPECT_EQ(text[0], 0);
  EXPECT_EQ(os.StringFromGUID2(g, text, 39), 39);
  EXPECT_EQ(std::wstring(text), L"{3F1C2A9E-7B4D-4E21-9A6F-0C5D8E2B1A47}");
}

TEST(posix_layer, wide_text_is_utf8_with_controls_escaped) {
  struct text_case {
    std::wstring text;
    std::size_t max;
    std::string bytes;
  };
  const text_case cases[] = {
      {L"caf\u00e9 \u4e2d!", 256, "caf\xC3\xA9 \xE4\xB8\xAD!"},
      {L"\U0001F4F6 ok", 256, "\xF0\x9F\x93\xB6 ok"},
      {L"a\x1b[2Jb\r\n\x7f\x85\xa0", 256, "a\\x1b[2Jb\\x0d\\x0a\\x7f\\x85\xC2\xA0"},
      {L"abcdef", 3, "abc"},
      {std::wstring(L"x\0y", 3), 3, "x"},
      {std::wstring(1, static_cast<wchar_t>(0xD800)), 1, "\xEF\xBF\xBD"},
  };
  for (const auto& c : cases) {
    std::string out;
    append_wide_text(out, c.text.c_str(), c.max);
    EXPECT_EQ(out, c.bytes);
  }
}

TEST(posix_layer, description_reaches_the_output_as_utf8) {
  sim::scenario world;
  std::string error;
  ASSERT_TRUE(sim::parse_scenario(
      R"({"interfaces": [{"description": "Adapter caf\u00e9 \u4e2d"}]})", world, error));
  testing::capture_console streams;
  sim::sim_service service(std::move(world), &streams);
  const char* argv[] = {"wlsurvey"};
  EXPECT_EQ(run_wlsurvey(service, 1, argv), 0);
  EXPECT_NE(streams.out.find("  [0] Adapter caf\xC3\xA9 \xE4\xB8\xAD\n"), std::string::npos);
}

}  // namespace
}  // namespace wlsurvey
