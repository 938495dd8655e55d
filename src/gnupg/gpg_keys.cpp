#include "gnupg/gpg_keys.h"

#include "core/text_helpers.h"
#include "gnupg/gpg_console.h"
#include "gnupg/gpg_error_report.h"

namespace fhr {

namespace {

std::string Trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Lists keys with `operation`; `*ran` tells whether gpg ran and ended.
void ListKeys(const GpgSetup& setup, std::string_view operation, StringList* lines, const std::string& key,
              bool* ran) {
  lines->Clear();
  *ran = false;
  if (!CheckGPGFiles(setup)) return;
  GpgRequest request{.operation = operation};
  const std::string argument = KeySearchArgument(key);
  if (!argument.empty()) request.extraArguments.push_back(argument);
  TGPGConsole4 console(setup);
  *ran = console.Run(request);
  lines->SetText(console.Output());
}

bool IsRecipientCount(const std::string& key) { return key.ends_with(" passphrase"); }

}  // namespace

std::string KeySearchArgument(const std::string& key) {
  std::string text;
  for (char ch : key) {
    if (ch != ',') text += ch;
  }
  text = Trimmed(text);
  if (text.find('@') != std::string::npos && text.find('<') == std::string::npos && text.find(' ') == std::string::npos) {
    return "<" + text + ">";
  }
  return text;
}

bool ListPublicKeys(const GpgSetup& setup, StringList* lines, const std::string& key) {
  bool ran = false;
  ListKeys(setup, "listpublickeyswithcolons", lines, key, &ran);
  for (const std::string& line : *lines) {
    if (!line.empty() && !line.starts_with("tru:")) return true;
  }
  return false;
}

bool ListSecretKeys(const GpgSetup& setup, StringList* lines, const std::string& key) {
  bool ran = false;
  ListKeys(setup, "listsecretkeyswithcolons", lines, key, &ran);
  return ran;
}

std::string GetPublicKeyLine(const GpgSetup& setup, const std::string& key) {
  if (key.empty() || IsRecipientCount(key)) return {};
  StringList lines;
  ListPublicKeys(setup, &lines, key);
  for (const std::string& line : lines) {
    if (line.starts_with("pub:")) return FieldOf(9, line, ':', "") + ":" + line.substr(4);
  }
  return {};
}

std::string GetKeyUserId(const GpgSetup& setup, const std::string& key) {
  return FieldOf(9, GetPublicKeyLine(setup, key), ':', "");
}

std::string ShortKeyId(const GpgSetup& setup, const std::string& key) {
  const std::string id = FieldOf(4, GetPublicKeyLine(setup, key), ':', "");
  if (id.size() < 8) return {};
  return "0x" + id.substr(id.size() - 8);
}

std::string NymNameForKey(const GpgSetup& setup, const std::string& keyId) {
  return FieldOf(0, GetKeyUserId(setup, keyId), ':', "");
}

bool ExportKeys(const GpgSetup& setup, const StringList& keyIds, StringList* result, bool armored) {
  result->Clear();
  if (!CheckGPGFiles(setup)) return false;
  std::vector<std::string> values(keyIds.begin(), keyIds.end());
  TGPGConsole4 console(setup);
  const bool ran = console.Run({.operation = "exportkeys",
                                .placeholders = {{"%armor%", {armored ? "--armor" : "--no-armor"}},
                                                 {"%keyids%", values}}});
  if (!ran) return false;
  const GpgRun& run = console.Result();
  if (run.exitCode != 0 || !run.errorLines.empty() || !run.statusLines.empty()) {
    ReportGpgFailure(run);
    return false;
  }
  result->SetText(run.output);
  return true;
}

bool ExportKeys(const GpgSetup& setup, const std::string& keyId, StringList* result, bool armored) {
  return ExportKeys(setup, StringList{keyId}, result, armored);
}

}  // namespace fhr
