#include "news/news_account.h"

#include "core/text_helpers.h"

namespace fhr {

namespace {

std::string Lower(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

StringList NewAccountRecord() {
  StringList account;
  account.SetValue("port", "119");
  account.SetValue("tls", "none");
  return account;
}

NewsServer NewsServerFromAccount(const StringList& account) {
  NewsServer server;
  server.host = account.Value("host");
  int port = IntValueOf(account, "port", kDefaultNntpPort);
  server.port = port > 0 && port <= 65535 ? port : kDefaultNntpPort;
  server.user = account.Value("userid");
  server.password = account.Value("password");
  std::string tls = Lower(ValueOf(account, "tls", "none"));
  server.implicit_tls = tls == "tls";
  server.tls_none = tls == "none";
  return server;
}

std::string AccountRecordCommaText(const StringList& account) {
  StringList ordered;
  for (std::string_view field : kAccountFields) {
    std::string name(field);
    std::string value = account.Value(name);
    if (!value.empty()) ordered.Add(name + "=" + value);
  }
  return ordered.CommaText();
}

void CompleteAccountRecord(StringList& account) {
  if (account.Value("key").empty() && !account.Value("host").empty()) {
    account.SetValue("key", account.Value("host"));
  }
  if (account.Value("port").empty()) {
    account.SetValue("port", "119");
    account.SetValue("tls", "none");
  }
}

bool PortSuggestsImplicitTls(const StringList& account) {
  return account.Value("port") == "563" && Lower(account.Value("tls")) != "tls";
}

AccountCheck CheckAccountRecord(const StringList& account, const std::vector<std::string>& other_names) {
  const std::string host = account.Value("host");
  if (host.find(':') != std::string::npos) {
    return {AccountProblem::kColonInHost,
            "Sorry, colons ':' not allowed in the Server field. If you   \nare attempting to enter an "
            "IPv6 ip address, I'm sorry,   \nFHR doesn't currently support IPv6. It's coming, but   \n"
            "I can't give you a date. Hopefully sometime   \nduring 2012."};
  }
  if (host.empty()) {
    return {AccountProblem::kNoServer,
            "Problem! You have to provide an NNTP server to retrieve  your   \nNNTP mail. If you're not "
            "sure what it is, check your regular   \nnewsreader program."};
  }
  if (account.Value("auth") == "1" && (account.Value("userid").empty() || account.Value("password").empty())) {
    return {AccountProblem::kAuthWithoutCredentials,
            "Problem! You have NNTP Authentication enabled. That also \nrequires you provide User ID and "
            "Password."};
  }
  const std::string name = account.Value("key");
  for (const std::string& other : other_names) {
    if (SameNameIgnoringCase(other, name)) {
      return {AccountProblem::kNameInUse,
              "Sorry, the name '" + name + "' value already exists!   \nIt must be unique!   "};
    }
  }
  return {};
}

}  // namespace fhr
