#include "news/proxy_record.h"

#include "core/text_helpers.h"
#include "news/news_account.h"

namespace fhr {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

std::optional<SocksSettings> SocksFromProxies(const std::string& proxy_name, const StringList& proxies) {
  SocksSettings socks;
  if (proxy_name == kNoProxy) return socks;
  int line = proxies.IndexOfName(proxy_name);
  if (proxy_name.empty() || line < 0) return std::nullopt;
  std::string value = proxies.ValueFromIndex(static_cast<std::size_t>(line));
  if (value.empty()) return std::nullopt;
  StringList record;
  record.SetCommaText(value);
  socks.host = record.Value("host");
  int port = IntValueOf(record, "port", kDefaultNntpPort);
  socks.port = port > 0 && port <= 65535 ? port : kDefaultNntpPort;
  std::string version = Lower(record.Value("socks"));
  if (version == "4") socks.version = SocksVersion::k4;
  if (version == "4a") socks.version = SocksVersion::k4a;
  if (version == "5") socks.version = SocksVersion::k5;
  socks.tor = record.Value("tor") == "1";
  if (record.Value("auth") == "1") {
    socks.auth = true;
    socks.user = record.Value("userid");
    socks.password = record.Value("password");
  }
  return socks;
}

std::string ProxyRecordCommaText(const StringList& proxy) {
  StringList ordered;
  for (std::string_view field : kProxyFields) {
    std::string name(field);
    std::string value = proxy.Value(name);
    if (!value.empty()) ordered.Add(name + "=" + value);
  }
  return ordered.CommaText();
}

std::string NextProxyName(const std::vector<std::string>& names) {
  for (int n = 1;; ++n) {
    std::string candidate = "proxy" + std::to_string(n);
    bool used = false;
    for (const std::string& name : names) used = used || SameNameIgnoringCase(name, candidate);
    if (!used) return candidate;
  }
}

bool LooksLikeTor(const StringList& proxy) {
  return proxy.Value("host") == "127.0.0.1" && proxy.Value("port") == "9050" && proxy.Value("tor") != "1";
}

bool TorWithoutSocks4a(const StringList& proxy) {
  return proxy.Value("tor") == "1" && Lower(proxy.Value("socks")) != "4a";
}

ProxyCheck CheckProxyRecord(const StringList& proxy, const std::vector<std::string>& other_names) {
  const std::string name = proxy.Value("proxy");
  for (const std::string& other : other_names) {
    if (SameNameIgnoringCase(other, name)) {
      return {ProxyProblem::kNameInUse,
              "The name you've chosen for this proxy, " + name + ",  \nalready exists!"};
    }
  }
  if (proxy.Value("host").empty()) return {ProxyProblem::kNoHost, "Sorry, Host is a required field!   "};
  if (proxy.Value("port").empty()) return {ProxyProblem::kNoPort, "An NNTP port number is required!   "};
  std::string socks = Lower(proxy.Value("socks"));
  if (socks.empty() || socks == "no") {
    return {ProxyProblem::kNoSocks, "NNTP requires Socks Level of 4a!   "};
  }
  if (proxy.Value("auth") == "1" && (proxy.Value("userid").empty() || proxy.Value("password").empty())) {
    return {ProxyProblem::kAuthWithoutCredentials,
            "Since you've enabled Authentication, both User ID and Password are required."};
  }
  return {};
}

}  // namespace fhr
