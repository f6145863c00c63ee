#include "nl80211_service.h"

#include <linux/nl80211.h>
#include <net/if.h>
#include <netlink/attr.h>
#include <netlink/errno.h>
#include <netlink/genl/ctrl.h>
#include <netlink/genl/genl.h>
#include <netlink/msg.h>
#include <netlink/netlink.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "wlan_records.h"

namespace wlsurvey::nl80211 {

namespace {

constexpr DWORD highest_version = 2;

// libnl's own codes for failures that never reached the kernel, as errno.
int errno_of(int nle) {
  switch (-nle) {
    case NLE_NOMEM: return ENOMEM;
    case NLE_AGAIN: return EAGAIN;
    case NLE_INTR: return EINTR;
    case NLE_PERM: return EPERM;
    case NLE_BUSY: return EBUSY;
    case NLE_BAD_SOCK: return EBADF;
    default: return EIO;
  }
}

DWORD result_of(int error) {
  return error == ENOMEM ? ERROR_NOT_ENOUGH_MEMORY : static_cast<DWORD>(error);
}

struct nl_sock_deleter {
  void operator()(nl_sock* s) const { nl_socket_free(s); }
};
using sock_ptr = std::unique_ptr<nl_sock, nl_sock_deleter>;

struct nl_msg_deleter {
  void operator()(nl_msg* m) const { nlmsg_free(m); }
};
using msg_ptr = std::unique_ptr<nl_msg, nl_msg_deleter>;

struct nl_cb_deleter {
  void operator()(nl_cb* c) const { nl_cb_put(c); }
};
using cb_ptr = std::unique_ptr<nl_cb, nl_cb_deleter>;

// A connected generic netlink socket and the nl80211 family id, or the
// result code for why there is none.
struct genl_link {
  sock_ptr sock;
  int family = -1;
  DWORD error = ERROR_SUCCESS;
};

genl_link connect_nl80211() {
  genl_link link;
  link.sock.reset(nl_socket_alloc());
  if (!link.sock) {
    link.error = ERROR_NOT_ENOUGH_MEMORY;
    return link;
  }
  // Scan dumps of a crowded site come in many large parts.
  nl_socket_enable_msg_peek(link.sock.get());
  if (int rc = genl_connect(link.sock.get()); rc < 0) {
    link.error = result_of(errno_of(rc));
    return link;
  }
  link.family = genl_ctrl_resolve(link.sock.get(), "nl80211");
  // No nl80211 family: the kernel has no wireless stack, so the service
  // this program talks to is not there.
  if (link.family < 0) link.error = ERROR_SERVICE_NOT_ACTIVE;
  return link;
}

// --- one request and its answer ---------------------------------------------

struct exchange {
  int status = 1;         // 1 waiting, 0 done, else the kernel's negative errno
  bool interrupted = false;  // a dump that changed under us
};

int on_error(sockaddr_nl*, nlmsgerr* e, void* arg) {
  static_cast<exchange*>(arg)->status = e->error < 0 ? e->error : -EIO;
  return NL_STOP;
}

int on_finish(nl_msg* msg, void* arg) {
  // A dump that could not start (its interface gone, say) says why in the
  // payload of its end.
  const nlmsghdr* h = nlmsg_hdr(msg);
  int error = 0;
  if (nlmsg_datalen(h) >= static_cast<int>(sizeof error)) std::memcpy(&error, nlmsg_data(h), sizeof error);
  static_cast<exchange*>(arg)->status = error < 0 ? error : 0;
  return NL_SKIP;
}

int on_ack(nl_msg*, void* arg) {
  static_cast<exchange*>(arg)->status = 0;
  return NL_STOP;
}

int on_dump_interrupted(nl_msg*, void* arg) {
  static_cast<exchange*>(arg)->interrupted = true;
  return NL_OK;  // read the dump to its end; the caller asks again
}

// Sends msg and reads the answer to its end. 0, or the errno the kernel
// (or the socket) answered with.
int transact(nl_sock* s, nl_msg* msg, nl_recvmsg_msg_cb_t valid, void* arg, bool* interrupted = nullptr) {
  cb_ptr cb(nl_cb_alloc(NL_CB_DEFAULT));
  if (!cb) return ENOMEM;
  exchange x;
  nl_cb_err(cb.get(), NL_CB_CUSTOM, on_error, &x);
  nl_cb_set(cb.get(), NL_CB_FINISH, NL_CB_CUSTOM, on_finish, &x);
  nl_cb_set(cb.get(), NL_CB_ACK, NL_CB_CUSTOM, on_ack, &x);
  nl_cb_set(cb.get(), NL_CB_DUMP_INTR, NL_CB_CUSTOM, on_dump_interrupted, &x);
  if (valid != nullptr) nl_cb_set(cb.get(), NL_CB_VALID, NL_CB_CUSTOM, valid, arg);
  if (int rc = nl_send_auto(s, msg); rc < 0) return errno_of(rc);
  while (x.status > 0) {
    // An error answer stops libnl with its own code for it; the kernel's
    // errno is the one on_error kept.
    if (int rc = nl_recvmsgs(s, cb.get()); rc < 0) return x.status < 0 ? -x.status : errno_of(rc);
  }
  if (interrupted != nullptr) *interrupted = x.interrupted;
  return -x.status;
}

// A request for the nl80211 family; null when memory runs out.
msg_ptr request(int family, std::uint8_t cmd, int flags, std::optional<std::uint32_t> ifindex) {
  msg_ptr m(nlmsg_alloc());
  if (!m) return m;
  if (genlmsg_put(m.get(), NL_AUTO_PORT, NL_AUTO_SEQ, family, 0, flags, cmd, 0) == nullptr ||
      (ifindex && nla_put_u32(m.get(), NL80211_ATTR_IFINDEX, *ifindex) < 0)) {
    m.reset();
  }
  return m;
}

bool parse_top(nl_msg* msg, nlattr** tb) {
  auto* g = static_cast<genlmsghdr*>(nlmsg_data(nlmsg_hdr(msg)));
  return nla_parse(tb, NL80211_ATTR_MAX, genlmsg_attrdata(g, 0), genlmsg_attrlen(g, 0), nullptr) == 0;
}

// --- interfaces ---------------------------------------------------------------

std::string read_first_line(const std::filesystem::path& p) {
  std::string line;
  if (std::FILE* f = std::fopen(p.c_str(), "re")) {
    char buf[128];
    if (std::fgets(buf, sizeof buf, f) != nullptr) line = buf;
    std::fclose(f);
  }
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

bool parse_mac(const std::string& text, std::array<std::uint8_t, 6>& mac) {
  unsigned v[6];
  char tail = 0;
  if (std::sscanf(text.c_str(), "%2x:%2x:%2x:%2x:%2x:%2x%c", &v[0], &v[1], &v[2], &v[3], &v[4], &v[5],
                  &tail) != 6) {
    return false;
  }
  for (int k = 0; k < 6; ++k) mac[static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(v[k]);
  return true;
}

bool interface_up(const std::string& name) {
  int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  ifreq req{};
  name.copy(req.ifr_name, IFNAMSIZ - 1);
  const bool up = ::ioctl(fd, SIOCGIFFLAGS, &req) == 0 && (req.ifr_flags & IFF_UP) != 0;
  ::close(fd);
  return up;
}

// What sysfs adds: the driver's name and the radio's permanent address.
void add_sysfs_facts(interface_facts& f) {
  std::error_code ec;
  const std::filesystem::path net = std::filesystem::path("/sys/class/net") / f.name;
  const auto driver = std::filesystem::read_symlink(net / "device" / "driver", ec);
  if (!ec) f.driver = driver.filename().string();
  f.has_permanent = parse_mac(read_first_line(net / "phy80211" / "macaddress"), f.permanent);
}

int on_interface(nl_msg* msg, void* arg) {
  nlattr* tb[NL80211_ATTR_MAX + 1];
  if (!parse_top(msg, tb)) return NL_SKIP;
  // Wireless devices without a network interface (P2P devices, NAN) have
  // no ifindex and cannot scan on their own.
  if (tb[NL80211_ATTR_IFINDEX] == nullptr || tb[NL80211_ATTR_IFTYPE] == nullptr ||
      tb[NL80211_ATTR_IFNAME] == nullptr) {
    return NL_SKIP;
  }
  interface_facts f;
  f.ifindex = nla_get_u32(tb[NL80211_ATTR_IFINDEX]);
  f.iftype = nla_get_u32(tb[NL80211_ATTR_IFTYPE]);
  if (tb[NL80211_ATTR_WIPHY] != nullptr) f.wiphy = nla_get_u32(tb[NL80211_ATTR_WIPHY]);
  f.name.assign(static_cast<const char*>(nla_data(tb[NL80211_ATTR_IFNAME])),
                strnlen(static_cast<const char*>(nla_data(tb[NL80211_ATTR_IFNAME])),
                        static_cast<std::size_t>(nla_len(tb[NL80211_ATTR_IFNAME]))));
  // The kernel names the SSID only while associated or joined.
  f.has_ssid = tb[NL80211_ATTR_SSID] != nullptr && nla_len(tb[NL80211_ATTR_SSID]) > 0;
  static_cast<std::vector<interface_facts>*>(arg)->push_back(std::move(f));
  return NL_SKIP;
}

// --- scan results -------------------------------------------------------------

std::uint64_t clock_ns(clockid_t id) {
  timespec t{};
  clock_gettime(id, &t);
  return static_cast<std::uint64_t>(t.tv_sec) * 1000000000u + static_cast<std::uint64_t>(t.tv_nsec);
}

struct dump_state {
  std::vector<scan_result> results;
  std::uint64_t boot_ns = 0;      // CLOCK_BOOTTIME at the dump
  std::uint64_t filetime_now = 0;  // the same moment as FILETIME
};

int on_bss(nl_msg* msg, void* arg) {
  auto& d = *static_cast<dump_state*>(arg);
  nlattr* tb[NL80211_ATTR_MAX + 1];
  if (!parse_top(msg, tb) || tb[NL80211_ATTR_BSS] == nullptr) return NL_SKIP;

  static nla_policy policy[NL80211_BSS_MAX + 1] = {};
  static const bool policy_ready = [] {
    policy[NL80211_BSS_BSSID] = {NLA_UNSPEC, 6, 0};
    policy[NL80211_BSS_FREQUENCY] = {NLA_U32, 0, 0};
    policy[NL80211_BSS_FREQUENCY_OFFSET] = {NLA_U32, 0, 0};
    policy[NL80211_BSS_TSF] = {NLA_U64, 0, 0};
    policy[NL80211_BSS_BEACON_INTERVAL] = {NLA_U16, 0, 0};
    policy[NL80211_BSS_CAPABILITY] = {NLA_U16, 0, 0};
    policy[NL80211_BSS_SIGNAL_MBM] = {NLA_U32, 0, 0};
    policy[NL80211_BSS_SIGNAL_UNSPEC] = {NLA_U8, 0, 0};
    policy[NL80211_BSS_STATUS] = {NLA_U32, 0, 0};
    policy[NL80211_BSS_SEEN_MS_AGO] = {NLA_U32, 0, 0};
    policy[NL80211_BSS_LAST_SEEN_BOOTTIME] = {NLA_U64, 0, 0};
    return true;
  }();
  (void)policy_ready;

  nlattr* bss[NL80211_BSS_MAX + 1];
  if (nla_parse_nested(bss, NL80211_BSS_MAX, tb[NL80211_ATTR_BSS], policy) != 0 ||
      bss[NL80211_BSS_BSSID] == nullptr) {
    return NL_SKIP;
  }
  scan_result r;
  std::memcpy(r.bssid.data(), nla_data(bss[NL80211_BSS_BSSID]), r.bssid.size());
  if (bss[NL80211_BSS_FREQUENCY] != nullptr) r.frequency_khz = nla_get_u32(bss[NL80211_BSS_FREQUENCY]) * 1000;
  if (bss[NL80211_BSS_FREQUENCY_OFFSET] != nullptr) r.frequency_khz += nla_get_u32(bss[NL80211_BSS_FREQUENCY_OFFSET]);
  if (bss[NL80211_BSS_TSF] != nullptr) r.tsf = nla_get_u64(bss[NL80211_BSS_TSF]);
  if (bss[NL80211_BSS_BEACON_INTERVAL] != nullptr) r.beacon_interval = nla_get_u16(bss[NL80211_BSS_BEACON_INTERVAL]);
  if (bss[NL80211_BSS_CAPABILITY] != nullptr) r.capability = nla_get_u16(bss[NL80211_BSS_CAPABILITY]);
  if (bss[NL80211_BSS_SIGNAL_MBM] != nullptr) {
    r.has_signal_mbm = true;
    r.signal_mbm = static_cast<std::int32_t>(nla_get_u32(bss[NL80211_BSS_SIGNAL_MBM]));
  }
  if (bss[NL80211_BSS_SIGNAL_UNSPEC] != nullptr) {
    r.has_signal_unspec = true;
    r.signal_unspec = nla_get_u8(bss[NL80211_BSS_SIGNAL_UNSPEC]);
  }
  if (bss[NL80211_BSS_STATUS] != nullptr) {
    const std::uint32_t s = nla_get_u32(bss[NL80211_BSS_STATUS]);
    r.associated = s == NL80211_BSS_STATUS_ASSOCIATED || s == NL80211_BSS_STATUS_IBSS_JOINED;
  }
  std::uint64_t age_ns = 0;
  if (bss[NL80211_BSS_LAST_SEEN_BOOTTIME] != nullptr) {
    const std::uint64_t seen = nla_get_u64(bss[NL80211_BSS_LAST_SEEN_BOOTTIME]);
    age_ns = seen < d.boot_ns ? d.boot_ns - seen : 0;
  } else if (bss[NL80211_BSS_SEEN_MS_AGO] != nullptr) {
    age_ns = std::uint64_t{nla_get_u32(bss[NL80211_BSS_SEEN_MS_AGO])} * 1000000u;
  }
  r.host_timestamp = d.filetime_now - std::min(d.filetime_now, age_ns / 100);
  // Probe response elements carry more than the beacon's; fall back to those.
  nlattr* ies = bss[NL80211_BSS_INFORMATION_ELEMENTS] != nullptr ? bss[NL80211_BSS_INFORMATION_ELEMENTS]
                                                                  : bss[NL80211_BSS_BEACON_IES];
  if (ies != nullptr && nla_len(ies) > 0) {
    const auto* p = static_cast<const std::uint8_t*>(nla_data(ies));
    r.ies.assign(p, p + nla_len(ies));
  }
  d.results.push_back(std::move(r));
  return NL_SKIP;
}

// --- notifications -------------------------------------------------------------

struct known_interface {
  std::uint32_t ifindex;
  GUID guid;
};

// One registration: its socket, its thread and what it calls. Everything the
// thread reads is fixed before it starts, so the two threads share nothing
// but the wake-up descriptor.
class listener {
 public:
  static std::unique_ptr<listener> start(WLAN_NOTIFICATION_CALLBACK cb, PVOID context,
                                         std::vector<known_interface> interfaces, DWORD& error) {
    std::unique_ptr<listener> l(new listener(cb, context, std::move(interfaces)));
    error = l->subscribe();
    if (error != ERROR_SUCCESS) return nullptr;
    l->thread_ = std::thread([p = l.get()] { p->run(); });
    return l;
  }

  ~listener() {
    if (thread_.joinable()) {
      const std::uint64_t one = 1;
      // Only a full counter makes this fail, and that wakes the thread too.
      [[maybe_unused]] ssize_t n = ::write(wake_, &one, sizeof one);
      thread_.join();
    }
    if (wake_ >= 0) ::close(wake_);
  }

  listener(const listener&) = delete;
  listener& operator=(const listener&) = delete;

 private:
  listener(WLAN_NOTIFICATION_CALLBACK cb, PVOID context, std::vector<known_interface> interfaces)
      : callback_(cb), context_(context), interfaces_(std::move(interfaces)) {}

  // Joins the groups before returning, so that a scan triggered after
  // registration cannot end unseen.
  DWORD subscribe() {
    genl_link link = connect_nl80211();
    if (link.error != ERROR_SUCCESS) return link.error;
    sock_ = std::move(link.sock);
    for (const char* group : {"scan", "config"}) {
      const int id = genl_ctrl_resolve_grp(sock_.get(), "nl80211", group);
      if (id < 0) return ERROR_SERVICE_NOT_ACTIVE;
      if (int rc = nl_socket_add_membership(sock_.get(), id); rc < 0) return result_of(errno_of(rc));
    }
    if (nl_socket_set_nonblocking(sock_.get()) < 0) return static_cast<DWORD>(EIO);
    cb_.reset(nl_cb_alloc(NL_CB_DEFAULT));
    if (!cb_) return ERROR_NOT_ENOUGH_MEMORY;
    // Events are not answers to anything we asked: no sequence to check.
    nl_cb_set(cb_.get(), NL_CB_SEQ_CHECK, NL_CB_CUSTOM, [](nl_msg*, void*) { return static_cast<int>(NL_OK); },
              nullptr);
    nl_cb_set(cb_.get(), NL_CB_VALID, NL_CB_CUSTOM, on_event, this);
    wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wake_ < 0) return static_cast<DWORD>(errno);
    return ERROR_SUCCESS;
  }

  void run() {
    pollfd fds[2] = {{nl_socket_get_fd(sock_.get()), POLLIN, 0}, {wake_, POLLIN, 0}};
    for (;;) {
      if (::poll(fds, 2, -1) < 0) {
        if (errno == EINTR) continue;
        return;
      }
      if (fds[1].revents != 0) return;  // withdrawn
      if ((fds[0].revents & (POLLIN | POLLERR)) != 0) {
        // A failure here is an overrun (events lost) or a bad message; the
        // next event is still worth reading.
        nl_recvmsgs(sock_.get(), cb_.get());
      } else if ((fds[0].revents & (POLLHUP | POLLNVAL)) != 0) {
        return;
      }
    }
  }

  static int on_event(nl_msg* msg, void* arg) {
    static_cast<listener*>(arg)->handle(msg);
    return NL_SKIP;
  }

  void handle(nl_msg* msg) {
    const auto* g = static_cast<genlmsghdr*>(nlmsg_data(nlmsg_hdr(msg)));
    DWORD code = 0;
    switch (g->cmd) {
      case NL80211_CMD_NEW_SCAN_RESULTS: code = wlan_notification_acm_scan_complete; break;
      case NL80211_CMD_SCAN_ABORTED: code = wlan_notification_acm_scan_fail; break;
      // cfg80211 sends this for every netdev it loses, unplugged or deleted,
      // so the routing socket's RTM_DELLINK would add nothing.
      case NL80211_CMD_DEL_INTERFACE: code = wlan_notification_acm_interface_removal; break;
      default: return;
    }
    nlattr* tb[NL80211_ATTR_MAX + 1];
    if (!parse_top(msg, tb) || tb[NL80211_ATTR_IFINDEX] == nullptr) return;
    const std::uint32_t ifindex = nla_get_u32(tb[NL80211_ATTR_IFINDEX]);
    // Interfaces the client was never told about are not its business.
    auto it = std::find_if(interfaces_.begin(), interfaces_.end(),
                           [&](const known_interface& k) { return k.ifindex == ifindex; });
    if (it == interfaces_.end()) return;
    WLAN_NOTIFICATION_DATA data{};
    data.NotificationSource = WLAN_NOTIFICATION_SOURCE_ACM;
    data.NotificationCode = code;
    data.InterfaceGuid = it->guid;
    callback_(&data, context_);
  }

  WLAN_NOTIFICATION_CALLBACK callback_;
  PVOID context_;
  const std::vector<known_interface> interfaces_;
  sock_ptr sock_;
  cb_ptr cb_;
  int wake_ = -1;
  std::thread thread_;
};

}  // namespace

struct nl80211_service::client {
  genl_link link;
  std::vector<known_interface> interfaces;  // as last enumerated
  bool enumerated = false;
  std::vector<std::pair<std::uint32_t, scan_snapshot>> snapshots;  // by ifindex
  std::unique_ptr<listener> notifications;

  DWORD enumerate(std::vector<interface_facts>& out) {
    msg_ptr m = request(link.family, NL80211_CMD_GET_INTERFACE, NLM_F_DUMP, std::nullopt);
    if (!m) return ERROR_NOT_ENOUGH_MEMORY;
    std::vector<interface_facts> all;
    if (int e = transact(link.sock.get(), m.get(), on_interface, &all); e != 0) return result_of(e);
    out.clear();
    for (auto& f : all) {
      if (!is_listed_type(f.iftype)) continue;
      add_sysfs_facts(f);
      f.up = interface_up(f.name);
      out.push_back(std::move(f));
    }
    // The dump goes by radio; people count interfaces by index.
    std::sort(out.begin(), out.end(),
              [](const interface_facts& a, const interface_facts& b) { return a.ifindex < b.ifindex; });
    interfaces.clear();
    for (const auto& f : out) interfaces.push_back({f.ifindex, interface_guid(f)});
    enumerated = true;
    return ERROR_SUCCESS;
  }

  const known_interface* find(const GUID* guid) const {
    if (guid == nullptr) return nullptr;
    for (const auto& k : interfaces) {
      if (same_guid(k.guid, *guid)) return &k;
    }
    return nullptr;
  }

  DWORD dump(std::uint32_t ifindex, const scan_snapshot*& out) {
    dump_state d;
    // A dump that the kernel marks as changed midway is asked for again; a
    // few tries, then what the last one gave.
    for (int attempt = 0; attempt < 3; ++attempt) {
      msg_ptr m = request(link.family, NL80211_CMD_GET_SCAN, NLM_F_DUMP, ifindex);
      if (!m) return ERROR_NOT_ENOUGH_MEMORY;
      d.results.clear();
      d.boot_ns = clock_ns(CLOCK_BOOTTIME);
      d.filetime_now = clock_ns(CLOCK_REALTIME) / 100 + 116444736000000000ULL;
      bool interrupted = false;
      if (int e = transact(link.sock.get(), m.get(), on_bss, &d, &interrupted); e != 0) return result_of(e);
      if (!interrupted) break;
    }
    auto it = std::find_if(snapshots.begin(), snapshots.end(), [&](const auto& s) { return s.first == ifindex; });
    if (it != snapshots.end()) snapshots.erase(it);
    snapshots.emplace_back(ifindex, scan_snapshot(std::move(d.results)));
    out = &snapshots.back().second;
    return ERROR_SUCCESS;
  }

  const scan_snapshot* cached(std::uint32_t ifindex) const {
    for (const auto& [index, snapshot] : snapshots) {
      if (index == ifindex) return &snapshot;
    }
    return nullptr;
  }
};

nl80211_service::nl80211_service() = default;

// Registrations still in place stop here, before the program's callback
// context goes away with the process.
nl80211_service::~nl80211_service() {
  clients_.clear();
  for (void* p : lists_) std::free(p);
}

template <class T>
T* nl80211_service::hand_out(T* block) {
  if (block != nullptr) {
    const std::lock_guard<std::mutex> lock(lists_mutex_);
    lists_.insert(block);
  }
  return block;
}

nl80211_service::client* nl80211_service::client_of(HANDLE h) const {
  for (const auto& c : clients_) {
    if (c.get() == h) return c.get();
  }
  return nullptr;
}

DWORD nl80211_service::WlanOpenHandle(DWORD dwClientVersion, PDWORD pdwNegotiatedVersion,
                                      PHANDLE phClientHandle) {
  if (dwClientVersion == 0 || pdwNegotiatedVersion == nullptr || phClientHandle == nullptr) {
    return ERROR_INVALID_PARAMETER;
  }
  auto c = std::make_unique<client>();
  c->link = connect_nl80211();
  if (c->link.error != ERROR_SUCCESS) return c->link.error;
  *pdwNegotiatedVersion = std::min(dwClientVersion, highest_version);
  *phClientHandle = c.get();
  clients_.push_back(std::move(c));
  return ERROR_SUCCESS;
}

DWORD nl80211_service::WlanEnumInterfaces(HANDLE hClientHandle, PWLAN_INTERFACE_INFO_LIST* ppInterfaceList) {
  client* c = client_of(hClientHandle);
  if (c == nullptr) return ERROR_INVALID_HANDLE;
  if (ppInterfaceList == nullptr) return ERROR_INVALID_PARAMETER;
  std::vector<interface_facts> facts;
  if (DWORD rc = c->enumerate(facts); rc != ERROR_SUCCESS) return rc;
  const std::size_t n = facts.size();
  const std::size_t bytes = offsetof(WLAN_INTERFACE_INFO_LIST, InterfaceInfo) +
                            std::max<std::size_t>(n, 1) * sizeof(WLAN_INTERFACE_INFO);
  auto* list = hand_out(static_cast<WLAN_INTERFACE_INFO_LIST*>(std::calloc(1, bytes)));
  if (list == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
  list->dwNumberOfItems = static_cast<DWORD>(n);
  WLAN_INTERFACE_INFO* entries = list->InterfaceInfo;
  for (std::size_t k = 0; k < n; ++k) entries[k] = interface_info(facts[k]);
  *ppInterfaceList = list;
  return ERROR_SUCCESS;
}

DWORD nl80211_service::WlanRegisterNotification(HANDLE hClientHandle, DWORD dwNotifSource, BOOL,
                                                WLAN_NOTIFICATION_CALLBACK funcCallback,
                                                PVOID pCallbackContext, PDWORD pdwPrevNotifSource) {
  client* c = client_of(hClientHandle);
  if (c == nullptr) return ERROR_INVALID_HANDLE;
  const bool on = dwNotifSource != WLAN_NOTIFICATION_SOURCE_NONE;
  if (on && funcCallback == nullptr) return ERROR_INVALID_PARAMETER;
  if (pdwPrevNotifSource != nullptr) {
    *pdwPrevNotifSource = c->notifications ? WLAN_NOTIFICATION_SOURCE_ACM : WLAN_NOTIFICATION_SOURCE_NONE;
  }
  // The old registration's thread is joined here, before this returns.
  c->notifications.reset();
  if (!on) return ERROR_SUCCESS;
  // Only ACM events exist here; a request for others still gets those.
  if (!c->enumerated) {
    std::vector<interface_facts> facts;
    if (DWORD rc = c->enumerate(facts); rc != ERROR_SUCCESS) return rc;
  }
  DWORD error = ERROR_SUCCESS;
  c->notifications = listener::start(funcCallback, pCallbackContext, c->interfaces, error);
  return error;
}

DWORD nl80211_service::WlanScan(HANDLE hClientHandle, const GUID* pInterfaceGuid) {
  client* c = client_of(hClientHandle);
  if (c == nullptr) return ERROR_INVALID_HANDLE;
  if (pInterfaceGuid == nullptr) return ERROR_INVALID_PARAMETER;
  const known_interface* k = c->find(pInterfaceGuid);
  if (k == nullptr) return ERROR_NOT_FOUND;
  msg_ptr m = request(c->link.family, NL80211_CMD_TRIGGER_SCAN, 0, k->ifindex);
  if (!m) return ERROR_NOT_ENOUGH_MEMORY;
  // One empty SSID: an active scan for every network.
  nlattr* ssids = nla_nest_start(m.get(), NL80211_ATTR_SCAN_SSIDS);
  if (ssids == nullptr || nla_put(m.get(), 1, 0, "") < 0) return ERROR_NOT_ENOUGH_MEMORY;
  nla_nest_end(m.get(), ssids);
  const int e = transact(c->link.sock.get(), m.get(), nullptr, nullptr);
  // A scan already running ends with the same event ours would.
  if (e == EBUSY) return ERROR_SUCCESS;
  return result_of(e);
}

DWORD nl80211_service::WlanGetAvailableNetworkList(HANDLE hClientHandle, const GUID* pInterfaceGuid, DWORD,
                                                   PWLAN_AVAILABLE_NETWORK_LIST* ppAvailableNetworkList) {
  client* c = client_of(hClientHandle);
  if (c == nullptr) return ERROR_INVALID_HANDLE;
  if (pInterfaceGuid == nullptr || ppAvailableNetworkList == nullptr) return ERROR_INVALID_PARAMETER;
  const known_interface* k = c->find(pInterfaceGuid);
  if (k == nullptr) return ERROR_NOT_FOUND;
  const scan_snapshot* s = nullptr;
  if (DWORD rc = c->dump(k->ifindex, s); rc != ERROR_SUCCESS) return rc;
  WLAN_AVAILABLE_NETWORK_LIST* list = hand_out(make_network_list(s->networks()));
  if (list == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
  *ppAvailableNetworkList = list;
  return ERROR_SUCCESS;
}

DWORD nl80211_service::WlanGetNetworkBssList(HANDLE hClientHandle, const GUID* pInterfaceGuid,
                                             const DOT11_SSID* pDot11Ssid, DOT11_BSS_TYPE dot11BssType,
                                             BOOL bSecurityEnabled, PWLAN_BSS_LIST* ppWlanBssList) {
  client* c = client_of(hClientHandle);
  if (c == nullptr) return ERROR_INVALID_HANDLE;
  if (pInterfaceGuid == nullptr || ppWlanBssList == nullptr) return ERROR_INVALID_PARAMETER;
  const known_interface* k = c->find(pInterfaceGuid);
  if (k == nullptr) return ERROR_NOT_FOUND;
  // The network list's dump answers every network of it: a crowded site
  // has hundreds, and one dump each would take seconds.
  const scan_snapshot* s = c->cached(k->ifindex);
  if (s == nullptr) {
    if (DWORD rc = c->dump(k->ifindex, s); rc != ERROR_SUCCESS) return rc;
  }
  WLAN_BSS_LIST* list = hand_out(make_bss_list(s->matching(pDot11Ssid, dot11BssType, bSecurityEnabled != 0)));
  if (list == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
  *ppWlanBssList = list;
  return ERROR_SUCCESS;
}

void nl80211_service::WlanFreeMemory(PVOID pMemory) {
  const std::lock_guard<std::mutex> lock(lists_mutex_);
  // What this service did not hand out (or already took back) is not freed.
  if (lists_.erase(pMemory) != 0) std::free(pMemory);
}

}  // namespace wlsurvey::nl80211

namespace wlsurvey {

platform& native_platform() {
  static nl80211::nl80211_service service;
  return service;
}

}  // namespace wlsurvey
