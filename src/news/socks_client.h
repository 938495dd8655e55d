#pragma once
// The SOCKS client: versions 4, 4A and 5 (RFC 1928, with the user/password
// method of RFC 1929). With 4A and 5 the destination's name travels to the
// proxy as text and is never resolved on this machine; only SOCKS 4, which
// can carry nothing but an IPv4 address, resolves it here.
#include <cstdint>
#include <optional>
#include <string>

#include "news/net_stream.h"

namespace fhr {

enum class SocksVersion { kNone, k4, k4a, k5 };

// How to reach the news server through a proxy; version kNone means directly.
struct SocksSettings {
  SocksVersion version = SocksVersion::kNone;
  std::string host;
  int port = 0;
  bool auth = false;  // send user and password (SOCKS 4: the user id alone)
  std::string user;
  std::string password;
  bool tor = false;   // the proxy is a Tor client (only words its refusals)
};

// "SOCKS 4", "SOCKS 4A", "SOCKS 5" (or "no SOCKS").
std::string SocksVersionName(SocksVersion version);

// The request bytes, for the handshake and for tests. Each returns nothing
// when the input cannot be expressed (a name longer than 255 bytes, a user
// id with a NUL byte, a SOCKS 4 target that is not an IPv4 address, ...).
// SOCKS 4 CONNECT to an IPv4 address in dotted form.
std::optional<std::string> Socks4Request(const std::string& ipv4, int port, const std::string& user);
// SOCKS 4A CONNECT: an IPv4 literal goes as SOCKS 4 does, a name as text.
std::optional<std::string> Socks4aRequest(const std::string& host, int port, const std::string& user);
// SOCKS 5 method offer: "no authentication", or only user/password.
std::string Socks5Greeting(bool auth);
// SOCKS 5 user/password sub-negotiation.
std::optional<std::string> Socks5AuthRequest(const std::string& user, const std::string& password);
// SOCKS 5 CONNECT: an IPv4 or IPv6 literal as an address, anything else as
// a domain name for the proxy to resolve.
std::optional<std::string> Socks5ConnectRequest(const std::string& host, int port);

// Asks the proxy, already connected on `stream`, for a connection to
// host:port, and reads its answer. On failure the status says what the
// proxy answered, in words; a refusal by a Tor proxy of a loopback or
// private address says that Tor does not connect to those.
NetStatus SocksConnect(NetStream& stream, const SocksSettings& proxy, const std::string& host, int port);

}  // namespace fhr
