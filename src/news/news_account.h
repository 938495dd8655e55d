#pragma once
// The news account record: one news server with its connection details and
// how far the user has read the newsgroup there. A StringList of name=value
// fields, stored under the account's name in the "hosts" record.
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "core/stringlist.h"

namespace fhr {

// The fields in the order in which accounts are stored.
inline constexpr std::array<std::string_view, 8> kAccountFields = {
    "key", "host", "userid", "port", "auth", "password", "tls", "lastarticle"};

inline constexpr int kDefaultNntpPort = 119;

// A fresh record: port "119" and tls "none", nothing else.
StringList NewAccountRecord();

// What a session needs from an account. `implicit_tls` comes from `tls`
// "TLS" in any letter case; any other value means STARTTLS when the server
// offers it, and `tls_none` records that the user asked for no TLS at all
// (the one case in which a refused STARTTLS may continue in plain text).
struct NewsServer {
  std::string host;
  int port = kDefaultNntpPort;
  std::string user;
  std::string password;
  bool implicit_tls = false;
  bool tls_none = true;
};

// The connection details of an account. A port that is empty, not a
// number or outside 1..65535 reads as 119.
NewsServer NewsServerFromAccount(const StringList& account);

// The record as it is stored: the comma text of its fields in stored order
// (fields it does not have are left out).
std::string AccountRecordCommaText(const StringList& account);

// Completes a record the way saving it does: an empty name takes the
// server's name; an empty port becomes "119" and the TLS mode "none".
void CompleteAccountRecord(StringList& account);

// True when the port is "563" but the TLS mode is not "TLS": the user is
// asked whether to switch to implicit TLS before the record is saved.
bool PortSuggestsImplicitTls(const StringList& account);

enum class AccountProblem { kNone, kColonInHost, kNoServer, kAuthWithoutCredentials, kNameInUse };

// The first reason, in the order the account dialog checks them, why the
// record cannot be saved, with the text the user is shown; kNone and an
// empty text when it can. `other_names` are the names of the other accounts
// (compared without regard to letter case).
struct AccountCheck {
  AccountProblem problem = AccountProblem::kNone;
  std::string message;
};
AccountCheck CheckAccountRecord(const StringList& account, const std::vector<std::string>& other_names);

}  // namespace fhr
