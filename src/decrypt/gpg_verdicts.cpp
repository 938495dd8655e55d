#include "decrypt/gpg_verdicts.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "core/text_helpers.h"
#include "gnupg/gpg_error_report.h"
#include "gnupg/gpg_keys.h"
#include "gnupg/gpg_process.h"
#include "news/message_text.h"

namespace fhr {

namespace {

constexpr std::string_view kTryingSecretKey = "gpg: anonymous recipient; trying secret key ";
constexpr std::string_view kAnonymousRecipientFound = "gpg: okay, we are the anonymous recipient.";

bool IsHex(const std::string& text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)); });
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

void SplitDiagnostics(const StringList& diagnostics, StringList* errorLines, StringList* statusLines) {
  errorLines->Clear();
  statusLines->Clear();
  bool status = false;
  for (const std::string& line : diagnostics) {
    if (!status && line == "-----") {
      status = true;
      continue;
    }
    (status ? statusLines : errorLines)->Add(line);
  }
}

void ShowGPGDiagnostics(const StringList& diagnostics) {
  StringList errorLines;
  StringList statusLines;
  SplitDiagnostics(diagnostics, &errorLines, &statusLines);
  ShowGPGError(errorLines, statusLines);
}

bool HasStatusKeyword(const StringList& statusLines, std::string_view keyword) {
  return std::any_of(statusLines.begin(), statusLines.end(), [&](const std::string& line) {
    const auto parsed = ParseStatusLine(line);
    return parsed && parsed->keyword == keyword;
  });
}

bool WrongPassphrase(const StringList& diagnostics) {
  StringList errorLines;
  StringList statusLines;
  SplitDiagnostics(diagnostics, &errorLines, &statusLines);
  if (!HasStatusKeyword(statusLines, "DECRYPTION_FAILED")) return false;
  if (HasStatusKeyword(statusLines, "BAD_PASSPHRASE")) return true;
  return HasStatusKeyword(statusLines, "NEED_PASSPHRASE_SYM") &&
         errorLines.IndexOf("gpg: decryption failed: bad key") >= 0;
}

std::string AnonymousRecipientKey(const StringList& runErrorLines) {
  std::string tried;
  for (const std::string& line : runErrorLines) {
    if (line == kAnonymousRecipientFound) break;
    if (!line.starts_with(kTryingSecretKey)) continue;
    const std::string id = FieldOf(0, line.substr(kTryingSecretKey.size()), ' ', "");
    if (id.size() >= 8 && IsHex(id)) tried = "0x" + Upper(id.substr(id.size() - 8));
  }
  return tried;
}

std::string NymserverKeyId(const GpgSetup& setup, const std::string& nymKeyId) {
  const std::string domain = DomainOf(AddressIn(GetKeyUserId(setup, nymKeyId)));
  if (domain.empty()) return {};
  for (const char* user : {"send@", "config@"}) {
    const std::string record = GetPublicKeyLine(setup, user + domain);
    const std::string id = FieldOf(4, record, ':', "");
    if (id.size() == 16 && IsHex(id)) return Upper(id);
  }
  return {};
}

SignatureVerdict JudgeSignature(const StringList& statusLines, const std::string& nymserverKeyId) {
  static constexpr std::array<std::string_view, 5> kBad = {"BADSIG", "ERRSIG", "EXPSIG", "EXPKEYSIG", "REVKEYSIG"};
  bool any = false;
  bool bad = false;
  bool good = false;
  bool byNymserver = false;
  for (const std::string& text : statusLines) {
    const auto line = ParseStatusLine(text);
    if (!line) continue;
    const std::string& keyword = line->keyword;
    if (std::find(kBad.begin(), kBad.end(), keyword) != kBad.end()) {
      any = bad = true;
    } else if (keyword == "GOODSIG" || keyword == "SIG_ID") {
      any = true;
      good = good || keyword == "GOODSIG";
    } else if (keyword == "VALIDSIG" && !line->args.empty()) {
      any = true;
      const std::string primary = Upper(line->args.size() >= 10 ? line->args[9] : line->args[0]);
      byNymserver = byNymserver || (nymserverKeyId.size() == 16 && primary.ends_with(Upper(nymserverKeyId)));
    }
  }
  if (!any) return SignatureVerdict::kNone;
  return good && byNymserver && !bad ? SignatureVerdict::kNymserverGood : SignatureVerdict::kNotNymserver;
}

}  // namespace fhr
