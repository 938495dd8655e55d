#pragma once
// The proxy record: a SOCKS proxy (often a local Tor client) that news
// connections may go through. A StringList of name=value fields, stored
// under the proxy's name in the "proxies" record.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/stringlist.h"
#include "news/socks_client.h"

namespace fhr {

// The fields in the order in which proxies are stored.
inline constexpr std::array<std::string_view, 8> kProxyFields = {
    "proxy", "host", "port", "socks", "tor", "auth", "userid", "password"};

// The proxy name that means "connect directly".
inline constexpr std::string_view kNoProxy = "none";

// The SOCKS settings for the active proxy name, looked up in the lines of
// the "proxies" record (name=comma text, names compared without regard to
// letter case). Exactly "none" means no proxy, even when a proxy of that name
// exists ("None" is looked up). Nothing when the name has no record: the
// proxy does not exist. `socks` "4", "4a" or "5" (any letter case) selects
// the version, any other value no SOCKS; a port that is not a number reads
// as 119; user and password are used only when `auth` is "1".
std::optional<SocksSettings> SocksFromProxies(const std::string& proxy_name, const StringList& proxies);

// The record as it is stored: the comma text of its fields in stored order.
std::string ProxyRecordCommaText(const StringList& proxy);

// The name proposed for a new proxy: "proxy" and the smallest number from 1
// up that no existing proxy uses (letter case ignored).
std::string NextProxyName(const std::vector<std::string>& names);

// 127.0.0.1 port 9050 (Tor's usual port) without the Tor mark: the user is
// asked whether this is a Tor proxy.
bool LooksLikeTor(const StringList& proxy);
// Marked as Tor but with a SOCKS version other than 4A: the user is asked
// whether to correct it.
bool TorWithoutSocks4a(const StringList& proxy);

enum class ProxyProblem { kNone, kNameInUse, kNoHost, kNoPort, kNoSocks, kAuthWithoutCredentials };

// The first reason, in the order the proxy dialog checks them, why the
// record cannot be saved, with the text the user is shown. `other_names`
// are the names of the other proxies. A name already in use is refused for
// new proxies as well as renamed ones, since "proxies" keeps one record per
// name and saving would silently replace the other proxy.
struct ProxyCheck {
  ProxyProblem problem = ProxyProblem::kNone;
  std::string message;
};
ProxyCheck CheckProxyRecord(const StringList& proxy, const std::vector<std::string>& other_names);

}  // namespace fhr
