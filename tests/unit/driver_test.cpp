// The whole program against the scripted service: every output compared whole.

#include "main/driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "capture_console.h"
#include "scenario.h"
#include "sim_service.h"

namespace wlsurvey {
namespace {

struct run_result {
  std::string out, err;
  int status = 0;
  int reads = 0;
  sim::sim_service::record trace;
};

run_result run(const std::string& scenario_json, std::vector<const char*> args = {},
               std::string input = "\n") {
  sim::scenario world;
  std::string error;
  EXPECT_TRUE(sim::parse_scenario(scenario_json, world, error)) << error;
  testing::capture_console streams;
  streams.input = std::move(input);
  sim::sim_service service(std::move(world), &streams);
  args.insert(args.begin(), "wlsurvey");
  run_result r;
  r.status = run_wlsurvey(service, static_cast<int>(args.size()), args.data());
  r.out = streams.out;
  r.err = streams.err;
  r.reads = streams.reads;
  r.trace = service.trace();
  return r;
}

int count_calls(const run_result& r, const std::string& name) {
  return static_cast<int>(std::count(r.trace.calls.begin(), r.trace.calls.end(), name));
}

const std::string banner =
    "Wireless network scanner utility  (c) 2026 the wlsurvey developers  [-q -s]\n";

// One interface, one network of one BSS; the scan completes during the first tick.
std::string one_network_world(const std::string& faults = "[]",
                              const std::string& notifications = R"([{"tick": 1}])") {
  return R"({"faults": )" + faults + R"(,
    "interfaces": [{
      "guid": "{3f1c2a9e-7b4d-4e21-9a6f-0c5d8e2b1a47}",
      "description": "Test adapter",
      "notifications": )" +
         notifications + R"(,
      "networks": [{"ssid": "n", "bss": [
        {"bssid": "02:00:00:00:01:00", "frequency": 2412000, "quality": 80, "rssi": -60, "phy": 7}
      ]}]
    }]})";
}

const std::string one_network_head = banner +
                                     "Wireless interfaces: 1, interface version: 2\n"
                                     "\n"
                                     "  [0] {3F1C2A9E-7B4D-4E21-9A6F-0C5D8E2B1A47}\n"
                                     "  [0] Test adapter\n"
                                     "  [0] status: Not connected\n"
                                     "\n"
                                     "\n"
                                     "  [0] SCANNING  ";

const std::string one_network_list =
    "\r  [0] Wireless networks: 1\n"
    "\n";

const std::string one_network_block =
    "  [0][0] SSID              n\n"
    "  [0][0] BSSID             02:00:00:00:01:00\n"
    "  [0][0] Type              Infrastructure\n"
    "  [0][0] Signal quality    80  RSSI  -60 dBm\n"
    "  [0][0] Frequency         2.412 GHz\n"
    "  [0][0] Beacon period     0\n"
    "  [0][0] Reg domain        false\n"
    "  [0][0] PHY type    HT    802.11n \n"
    "  [0][0] Rate              \n"
    "  [0][0] Capability  0000  \n"
    "  [0][0] Connectable       Yes\n"
    "  [0][0] Security No       802.11 Open\n"
    "  [0][0] Default cypher    None\n"
    "  [0][0] Flags             0  \n"
    "\n"
    "\n";

TEST(driver, no_interfaces) {
  const std::string world = R"({"version": 7})";
  run_result full = run(world);
  EXPECT_EQ(full.out, banner + "Wireless interfaces: 0, interface version: 7\n\n");
  EXPECT_EQ(full.err, "");
  EXPECT_EQ(full.status, 0);
  for (const char* form : {"-q", "-s"}) {
    run_result quiet = run(world, {form});
    EXPECT_EQ(quiet.out, "") << form;
    EXPECT_EQ(quiet.status, 0) << form;
  }
}

TEST(driver, complete_run_in_each_form) {
  run_result full = run(one_network_world());
  EXPECT_EQ(full.out, one_network_head + "." + one_network_list + one_network_block);
  EXPECT_EQ(full.err, "");
  EXPECT_EQ(full.status, 0);
  EXPECT_EQ(full.reads, 0);

  EXPECT_EQ(run(one_network_world(), {"-q"}).out, "n\n");
  EXPECT_EQ(run(one_network_world(), {"-S"}).out,
            "02:00:00:00:01:00  2.412   80 -60  HT    802.11n   n\n");
}

TEST(driver, every_list_is_released_once_and_one_at_a_time) {
  const std::string world = R"({"interfaces": [
      {"networks": [{"ssid": "a", "bss": [{}, {}]}, {"ssid": "b"}]},
      {"networks": [{"ssid": "c", "bss": [{}]}]}]})";
  run_result r = run(world, {"-q"});
  EXPECT_EQ(r.out, "a\na\nc\n");  // a BSS without an SSID of its own has its network's
  EXPECT_EQ(r.trace.lists_live, 0);
  EXPECT_EQ(r.trace.bad_frees, 0);
  EXPECT_EQ(r.trace.most_live.at("networks"), 1);
  EXPECT_EQ(r.trace.most_live.at("bss"), 1);
  EXPECT_EQ(count_calls(r, "WlanFreeMemory"), 1 + 2 + 3);
  // The event is signalled and closed once, at the end.
  EXPECT_EQ(count_calls(r, "SetEvent"), 1);
  EXPECT_EQ(count_calls(r, "CloseHandle"), 1);
  EXPECT_EQ(r.trace.calls.back(), "CloseHandle");
  EXPECT_FALSE(r.trace.registered);
}

struct failure_case {
  const char* faults;
  std::string out;  // everything after the banner and interface count
};

TEST(driver, each_failing_step_ends_the_run_with_its_message) {
  const std::string head = one_network_head.substr(
      banner.size() + std::string("Wireless interfaces: 1, interface version: 2\n\n").size());
  const std::string header_only =
      head.substr(0, head.size() - std::string("\n\n  [0] SCANNING  ").size());
  const failure_case cases[] = {
      {R"([{"call": "WlanRegisterNotification", "result": 5}])",
       header_only + "WlanRegisterNotification: 5 +\n"},
      {R"([{"call": "WlanScan", "result": 1}])", head + "WlanScan: 1\n"},
      {R"([{"call": "WaitForSingleObject", "result": 4294967295, "last_error": 6}])",
       head + "e_event.wait_time: 6\n"},
      {R"([{"call": "WaitForSingleObject", "result": 3, "last_error": 111}])",
       head + "e_event.wait_time: 111\n"},
      {R"([{"call": "WlanRegisterNotification", "nth": 2, "result": 87}])",
       head + ".WlanRegisterNotification: 87 -\n"},
      {R"([{"call": "WlanGetAvailableNetworkList", "result": 1168}])",
       head + ".WlanGetAvailableNetworkList: 1168\n"},
      {R"([{"call": "WlanGetNetworkBssList", "result": 2147942405}])",
       head + "." + one_network_list + "WlanGetNetworkBssList: -2147024891\n"},
  };
  const std::string counted = banner + "Wireless interfaces: 1, interface version: 2\n\n";
  for (const auto& c : cases) {
    run_result r = run(one_network_world(c.faults));
    EXPECT_EQ(r.out, counted + c.out) << c.faults;
    EXPECT_EQ(r.err, "\r\n[failed] ") << c.faults;
    EXPECT_EQ(r.status, -1) << c.faults;
    EXPECT_EQ(r.reads, 0) << c.faults;
    EXPECT_EQ(count_calls(r, "CloseHandle"), 1) << "event released: " << c.faults;
  }
}

TEST(driver, failures_before_the_interface_list) {
  const failure_case cases[] = {
      {R"([{"call": "CreateEventW", "last_error": 1450}])", "CreateEvent: 1450\n"},
      {R"([{"call": "WlanOpenHandle", "result": 1062}])", "WlanOpenHandle: 1062\n"},
      {R"([{"call": "WlanEnumInterfaces", "result": 2147942487}])",
       "WlanEnumInterfaces: -2147024809\n"},
  };
  for (const auto& c : cases) {
    run_result r = run(one_network_world(c.faults));
    EXPECT_EQ(r.out, banner + c.out) << c.faults;
    EXPECT_EQ(r.err, "\r\n[failed] ");
    EXPECT_EQ(r.status, -1);
    // Quiet forms still name the failure.
    EXPECT_EQ(run(one_network_world(c.faults), {"-s"}).out, c.out);
  }
  // Without an event there is nothing to release.
  EXPECT_EQ(count_calls(run(one_network_world(cases[0].faults)), "CloseHandle"), 0);
}

TEST(driver, failure_on_a_later_interface_keeps_the_earlier_report) {
  const std::string world = R"({
    "faults": [{"call": "WlanGetNetworkBssList", "nth": 2, "result": 5}],
    "interfaces": [
      {"description": "one", "notifications": [{"tick": 1}],
       "networks": [{"ssid": "a", "bss": [{"bssid": "02:00:00:00:00:01"}]}]},
      {"description": "two", "notifications": [{"tick": 2}],
       "networks": [{"ssid": "b", "bss": [{"bssid": "02:00:00:00:00:02"}]}]}]})";
  run_result q = run(world, {"-q"});
  EXPECT_EQ(q.out, "a\nWlanGetNetworkBssList: 5\n");
  EXPECT_EQ(q.status, -1);
  run_result s = run(world, {"-s"});
  EXPECT_EQ(s.out,
            "02:00:00:00:00:01  0.000    0 0  Unknown 0  a\n"
            "WlanGetNetworkBssList: 5\n");
  run_result f = run(world);
  const std::string tail =
      "  [1] {00000000-0000-0000-0000-000000000001}\n"
      "  [1] two\n"
      "  [1] status: Not connected\n"
      "\n\n  [1] SCANNING  ..\r  [1] Wireless networks: 1\n\n"
      "WlanGetNetworkBssList: 5\n";
  ASSERT_GE(f.out.size(), tail.size());
  EXPECT_EQ(f.out.substr(f.out.size() - tail.size()), tail);
  EXPECT_NE(f.out.find("  [0][0] Flags             0  \n\n\n  [1] {"), std::string::npos);
}

// What ends the wait, shown by the dots: one per 100 ms tick spent.
TEST(driver, notifications_that_end_the_wait) {
  struct wait_case {
    const char* notifications;
    int dots;
  };
  const wait_case cases[] = {
      {R"([{"tick": 3, "code": 7}])", 3},
      {R"([{"tick": 2, "code": 8}])", 2},
      {R"([{"tick": 1, "code": 14}])", 1},
      {R"([{"tick": 0}])", 0},
      {R"([{"tick": 2, "interface": "{00000000-0000-0000-0000-0000000000AA}"}])", 2},
      {R"([{"tick": 2, "source": 4}])", 40},
      {R"([{"tick": 2, "code": 9}])", 40},
      {R"([{"tick": 2, "source": 4}, {"tick": 5, "code": 8}])", 5},
      {"[]", 40},
  };
  for (const auto& c : cases) {
    run_result r = run(one_network_world("[]", c.notifications));
    EXPECT_EQ(r.out, one_network_head + std::string(static_cast<std::size_t>(c.dots), '.') +
                         one_network_list + one_network_block)
        << c.notifications;
    EXPECT_EQ(r.status, 0);
  }
}

TEST(driver, unexpected_wait_results_follow_their_last_error) {
  struct wait_result_case {
    const char* fault;
    int dots;
  };
  // The scan completes during the 2nd tick unless the wait ends it earlier.
  const wait_result_case cases[] = {
      {R"([{"call": "WaitForSingleObject", "result": 0}])", 0},
      {R"([{"call": "WaitForSingleObject", "result": 128}])", 0},
      {R"([{"call": "WaitForSingleObject", "result": 4294967295, "last_error": 0}])", 0},
      {R"([{"call": "WaitForSingleObject", "result": 4294967295, "last_error": 138}])", 2},
      {R"([{"call": "WaitForSingleObject", "result": 258}])", 2},
  };
  for (const auto& c : cases) {
    run_result r = run(one_network_world(c.fault, R"([{"tick": 2}])"));
    EXPECT_EQ(r.out, one_network_head + std::string(static_cast<std::size_t>(c.dots), '.') +
                         one_network_list + one_network_block)
        << c.fault;
    EXPECT_EQ(r.status, 0) << c.fault;
  }
}

TEST(driver, the_tick_budget_is_shared_by_the_whole_run) {
  const std::string world = R"({"interfaces": [
      {"notifications": [{"tick": 3}]},
      {"notifications": [{"tick": 99}]},
      {"notifications": [{"tick": 1}]}]})";
  run_result r = run(world);
  auto scanning = [&](int i, int dots) {
    return "\n\n  [" + std::to_string(i) + "] SCANNING  " +
           std::string(static_cast<std::size_t>(dots), '.') + "\r  [" + std::to_string(i) +
           "] Wireless networks: 0\n\n";
  };
  EXPECT_NE(r.out.find(scanning(0, 3)), std::string::npos);
  EXPECT_NE(r.out.find(scanning(1, 37)), std::string::npos);
  EXPECT_NE(r.out.find(scanning(2, 0)), std::string::npos);
  EXPECT_EQ(count_calls(r, "WaitForSingleObject"), 40);
  EXPECT_EQ(r.status, 0);
  // Quiet forms wait just the same, without dots.
  run_result q = run(world, {"-q"});
  EXPECT_EQ(q.out, "");
  EXPECT_EQ(count_calls(q, "WaitForSingleObject"), 40);
}

TEST(driver, passed_over_failures) {
  // A GUID that cannot be formatted is reported and the run goes on; so
  // does a failed close of the event.
  run_result r = run(one_network_world(
      R"([{"call": "StringFromGUID2", "result": 0}, {"call": "CloseHandle", "last_error": 6}])"));
  std::string expected = one_network_head + "." + one_network_list + one_network_block;
  const std::string guid_line = "{3F1C2A9E-7B4D-4E21-9A6F-0C5D8E2B1A47}\n";
  expected.replace(expected.find(guid_line), guid_line.size(), "StringFromGUID2 failed\n");
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.status, 0);
}

TEST(driver, a_wlan_fault_with_result_zero_changes_nothing) {
  run_result r = run(one_network_world(
      R"([{"call": "WlanEnumInterfaces"}, {"call": "WlanGetAvailableNetworkList"},
          {"call": "WlanGetNetworkBssList"}])"));
  EXPECT_EQ(r.out, one_network_head + "." + one_network_list + one_network_block);
  EXPECT_EQ(r.status, 0);
}

TEST(driver, interface_states_and_descriptions) {
  const std::string world = R"({"interfaces": [
      {"state": 8, "description": "a\u001b]0;x\u0007b"},
      {"state": 2}]})";
  run_result r = run(world);
  EXPECT_NE(r.out.find("  [0] a\\x1b]0;x\\x07b\n  [0] status: Unknown state 8\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("  [1] \n  [1] status: First node in an ad hoc network\n"),
            std::string::npos);
}

TEST(driver, under_a_debugger_the_run_waits_for_enter) {
  const std::string world = R"({"debugger": true})";
  run_result done = run(world);
  EXPECT_EQ(done.err, "\r\n[finished] Press ENTER to exit . . .");
  EXPECT_EQ(done.reads, 1);
  ASSERT_TRUE(done.trace.exit_process_code.has_value());
  EXPECT_EQ(*done.trace.exit_process_code, 0u);
  EXPECT_EQ(done.status, 0);

  run_result failed =
      run(R"({"debugger": true, "faults": [{"call": "WlanOpenHandle", "result": 5}]})");
  EXPECT_EQ(failed.out, banner + "WlanOpenHandle: 5\n");
  EXPECT_EQ(failed.err, "\r\n[failed] ");  // no prompt
  EXPECT_EQ(failed.reads, 1);
  EXPECT_FALSE(failed.trace.exit_process_code.has_value());
  EXPECT_EQ(failed.status, -1);

  // Standard input already at its end does not hang or change the ending.
  run_result eof = run(world, {}, "");
  EXPECT_EQ(eof.reads, 1);
  EXPECT_EQ(eof.status, 0);
}

}  // namespace
}  // namespace wlsurvey

namespace wlsurvey {
namespace {

// On a terminal the wait is the progress the user watches: the SCANNING
// line and every dot must be pushed out as they happen.
class flush_recorder final : public console {
 public:
  std::string out;
  std::vector<std::string> at_flush;  // what had been written at each flush
  void write_out(std::string_view b) override { out.append(b); }
  void write_err(std::string_view) override {}
  void flush() override { at_flush.push_back(out); }
  int read_char() override { return -1; }
};

TEST(driver, progress_is_flushed_as_it_happens) {
  sim::scenario world;
  std::string error;
  ASSERT_TRUE(sim::parse_scenario(one_network_world("[]", R"([{"tick": 2}])"), world, error));
  flush_recorder streams;
  sim::sim_service service(std::move(world), &streams);
  const char* argv[] = {"wlsurvey"};
  ASSERT_EQ(run_wlsurvey(service, 1, argv), 0);
  auto flushed = [&](const std::string& text) {
    return std::find(streams.at_flush.begin(), streams.at_flush.end(), text) !=
           streams.at_flush.end();
  };
  EXPECT_TRUE(flushed(one_network_head));
  EXPECT_TRUE(flushed(one_network_head + "."));
  EXPECT_TRUE(flushed(one_network_head + ".."));
  EXPECT_EQ(streams.at_flush.back(), streams.out);  // nothing left behind at the end
}

}  // namespace
}  // namespace wlsurvey
