#include "news/socks_client.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>

#include <cstring>

namespace fhr {

namespace {

void PutPort(std::string& out, int port) {
  out += static_cast<char>((port >> 8) & 0xFF);
  out += static_cast<char>(port & 0xFF);
}

bool ValidPort(int port) { return port > 0 && port <= 65535; }

bool HasNul(const std::string& text) { return text.find('\0') != std::string::npos; }

bool IsLocalTarget(const std::string& host) {
  if (host == "localhost" || host.ends_with(".localhost")) return true;
  in_addr v4{};
  if (inet_pton(AF_INET, host.c_str(), &v4) == 1) {
    std::uint32_t a = ntohl(v4.s_addr);
    return (a >> 24) == 127 || (a >> 24) == 10 || (a >> 24) == 0 || (a >> 20) == 0xAC1 ||
           (a >> 16) == 0xC0A8 || (a >> 16) == 0xA9FE;
  }
  in6_addr v6{};
  return inet_pton(AF_INET6, host.c_str(), &v6) == 1 && IN6_IS_ADDR_LOOPBACK(&v6);
}

std::string Target(const std::string& host, int port) { return host + ":" + std::to_string(port); }

NetStatus Refused(const SocksSettings& proxy, const std::string& host, int port, const std::string& why) {
  std::string message = SocksVersionName(proxy.version) + " proxy " + Target(proxy.host, proxy.port) +
                        " refused the connection to " + Target(host, port) + ": " + why;
  if (proxy.tor && IsLocalTarget(host)) {
    message += " (Tor does not connect to local or private addresses)";
  }
  return {NetError::kProxy, message};
}

NetStatus CannotAsk(const SocksSettings& proxy, const std::string& why) {
  return {NetError::kProxy, "Cannot ask the " + SocksVersionName(proxy.version) + " proxy " +
                                Target(proxy.host, proxy.port) + " for this connection: " + why};
}

NetStatus BadAnswer(const SocksSettings& proxy, const std::string& what) {
  return {NetError::kProxy, SocksVersionName(proxy.version) + " proxy " + Target(proxy.host, proxy.port) +
                                " answered " + what};
}

const char* Socks4Reason(unsigned char code) {
  switch (code) {
    case 91: return "request rejected or failed";
    case 92: return "the proxy cannot reach the client's identd";
    case 93: return "the client's identd reports a different user id";
    default: return "unknown reply code";
  }
}

const char* Socks5Reason(unsigned char code) {
  switch (code) {
    case 1: return "general SOCKS server failure";
    case 2: return "connection not allowed by ruleset";
    case 3: return "network unreachable";
    case 4: return "host unreachable";
    case 5: return "connection refused";
    case 6: return "TTL expired";
    case 7: return "command not supported";
    case 8: return "address type not supported";
    default: return "unknown reply code";
  }
}

// Local resolution for SOCKS 4, which can only carry an IPv4 address.
std::optional<std::string> ResolveIpv4(const std::string& host) {
  in_addr literal{};
  if (inet_pton(AF_INET, host.c_str(), &literal) == 1) return host;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || !found) return std::nullopt;
  char text[INET_ADDRSTRLEN] = {};
  inet_ntop(AF_INET, &reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr, text, sizeof text);
  freeaddrinfo(found);
  return std::string(text);
}

NetStatus ReadSocks4Reply(NetStream& stream, const SocksSettings& proxy, const std::string& host, int port) {
  unsigned char reply[8];
  NetStatus status = stream.ReadExact(reinterpret_cast<char*>(reply), sizeof reply);
  if (!status.ok()) return status;
  if (reply[0] != 0) return BadAnswer(proxy, "with a reply that is not SOCKS 4");
  if (reply[1] != 90) {
    return Refused(proxy, host, port, std::string(Socks4Reason(reply[1])) + " (" + std::to_string(reply[1]) + ")");
  }
  return NetStatus::Ok();
}

NetStatus Socks5(NetStream& stream, const SocksSettings& proxy, const std::string& host, int port) {
  NetStatus status = stream.WriteAll(Socks5Greeting(proxy.auth));
  if (!status.ok()) return status;
  unsigned char choice[2];
  status = stream.ReadExact(reinterpret_cast<char*>(choice), 2);
  if (!status.ok()) return status;
  if (choice[0] != 5) return BadAnswer(proxy, "with a reply that is not SOCKS 5");
  if (choice[1] == 0xFF) {
    return Refused(proxy, host, port,
                   proxy.auth ? "it does not accept user/password authentication"
                              : "it requires authentication");
  }
  if (choice[1] == 2 && proxy.auth) {
    auto request = Socks5AuthRequest(proxy.user, proxy.password);
    if (!request) return CannotAsk(proxy, "the user id or password is empty or longer than 255 bytes");
    status = stream.WriteAll(*request);
    std::fill(request->begin(), request->end(), '\0');
    if (!status.ok()) return status;
    unsigned char verdict[2];
    status = stream.ReadExact(reinterpret_cast<char*>(verdict), 2);
    if (!status.ok()) return status;
    if (verdict[1] != 0) return Refused(proxy, host, port, "user id or password not accepted");
  } else if (choice[1] != 0) {
    return BadAnswer(proxy, "with an authentication method that was not offered");
  }
  auto request = Socks5ConnectRequest(host, port);
  if (!request) return CannotAsk(proxy, "the host name is longer than 255 bytes");
  status = stream.WriteAll(*request);
  if (!status.ok()) return status;
  unsigned char head[4];
  status = stream.ReadExact(reinterpret_cast<char*>(head), 4);
  if (!status.ok()) return status;
  if (head[0] != 5) return BadAnswer(proxy, "with a reply that is not SOCKS 5");
  if (head[1] != 0) {
    return Refused(proxy, host, port, std::string(Socks5Reason(head[1])) + " (" + std::to_string(head[1]) + ")");
  }
  std::size_t rest = 0;
  switch (head[3]) {
    case 1: rest = 4 + 2; break;
    case 4: rest = 16 + 2; break;
    case 3: {
      unsigned char length = 0;
      status = stream.ReadExact(reinterpret_cast<char*>(&length), 1);
      if (!status.ok()) return status;
      rest = length + 2u;
      break;
    }
    default:
      return BadAnswer(proxy, "with an unknown address type");
  }
  char bound[258];
  return stream.ReadExact(bound, rest);
}

}  // namespace

std::string SocksVersionName(SocksVersion version) {
  switch (version) {
    case SocksVersion::k4: return "SOCKS 4";
    case SocksVersion::k4a: return "SOCKS 4A";
    case SocksVersion::k5: return "SOCKS 5";
    case SocksVersion::kNone: break;
  }
  return "no SOCKS";
}

std::optional<std::string> Socks4Request(const std::string& ipv4, int port, const std::string& user) {
  in_addr address{};
  if (!ValidPort(port) || HasNul(user) || inet_pton(AF_INET, ipv4.c_str(), &address) != 1) {
    return std::nullopt;
  }
  std::string out = {4, 1};
  PutPort(out, port);
  out.append(reinterpret_cast<const char*>(&address.s_addr), 4);  // network order already
  out += user;
  out += '\0';
  return out;
}

std::optional<std::string> Socks4aRequest(const std::string& host, int port, const std::string& user) {
  in_addr literal{};
  if (inet_pton(AF_INET, host.c_str(), &literal) == 1) return Socks4Request(host, port, user);
  if (!ValidPort(port) || HasNul(user) || HasNul(host) || host.empty() || host.size() > 255) {
    return std::nullopt;
  }
  std::string out = {4, 1};
  PutPort(out, port);
  out += std::string("\0\0\0\x01", 4);  // 0.0.0.x: the name follows the user id
  out += user;
  out += '\0';
  out += host;
  out += '\0';
  return out;
}

std::string Socks5Greeting(bool auth) {
  return auth ? std::string("\x05\x01\x02", 3) : std::string("\x05\x01\x00", 3);
}

std::optional<std::string> Socks5AuthRequest(const std::string& user, const std::string& password) {
  if (user.empty() || user.size() > 255 || password.empty() || password.size() > 255) return std::nullopt;
  std::string out = {1};
  out += static_cast<char>(user.size());
  out += user;
  out += static_cast<char>(password.size());
  out += password;
  return out;
}

std::optional<std::string> Socks5ConnectRequest(const std::string& host, int port) {
  if (!ValidPort(port) || host.empty()) return std::nullopt;
  std::string out = {5, 1, 0};
  in_addr v4{};
  in6_addr v6{};
  if (inet_pton(AF_INET, host.c_str(), &v4) == 1) {
    out += '\x01';
    out.append(reinterpret_cast<const char*>(&v4.s_addr), 4);
  } else if (inet_pton(AF_INET6, host.c_str(), &v6) == 1) {
    out += '\x04';
    out.append(reinterpret_cast<const char*>(v6.s6_addr), 16);
  } else {
    if (host.size() > 255) return std::nullopt;
    out += '\x03';
    out += static_cast<char>(host.size());
    out += host;
  }
  PutPort(out, port);
  return out;
}

NetStatus SocksConnect(NetStream& stream, const SocksSettings& proxy, const std::string& host, int port) {
  std::string user = proxy.auth ? proxy.user : std::string();
  switch (proxy.version) {
    case SocksVersion::kNone:
      return NetStatus::Ok();
    case SocksVersion::k5:
      return Socks5(stream, proxy, host, port);
    case SocksVersion::k4a: {
      auto request = Socks4aRequest(host, port, user);
      if (!request) return CannotAsk(proxy, "the host name or user id cannot be sent (empty, too long or with a NUL byte)");
      NetStatus status = stream.WriteAll(*request);
      return status.ok() ? ReadSocks4Reply(stream, proxy, host, port) : status;
    }
    case SocksVersion::k4: {
      auto address = ResolveIpv4(host);
      if (!address) return {NetError::kResolve, "Cannot resolve " + host + " to an IPv4 address for SOCKS 4"};
      auto request = Socks4Request(*address, port, user);
      if (!request) return CannotAsk(proxy, "the port or user id cannot be sent");
      NetStatus status = stream.WriteAll(*request);
      return status.ok() ? ReadSocks4Reply(stream, proxy, host, port) : status;
    }
  }
  return NetStatus::Ok();
}

}  // namespace fhr
