#include "gnupg/pgp_block.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "gnupg/pgp_markers.h"

namespace fhr {

namespace {

bool IsUpperHexDigit(char ch) { return (ch >= '0' && ch <= '9') || (ch >= 'A' && ch <= 'F'); }

int HexValue(char ch) { return ch <= '9' ? ch - '0' : ch - 'A' + 10; }

// An "=" followed by two upper-case hex digits somewhere in the line.
bool HasEncodedByte(const std::string& line) {
  for (std::size_t i = 0; i + 2 < line.size(); ++i) {
    if (line[i] == '=' && IsUpperHexDigit(line[i + 1]) && IsUpperHexDigit(line[i + 2])) return true;
  }
  return false;
}

// The armor checksum line: "=" and four Base64 characters, the last line
// before the end marker.
bool IsChecksumLine(const StringList& block, std::size_t i) {
  return i + 1 < block.size() && block[i + 1] == EndPGPMessage && block[i].size() == 5 && block[i][0] == '=';
}

bool ShowsQuotedPrintableDamage(const StringList& block) {
  for (std::size_t i = 0; i < block.size(); ++i) {
    if (block[i].find("=3D") != std::string::npos) return true;
    if (!IsChecksumLine(block, i) && HasEncodedByte(block[i])) return true;
  }
  return false;
}

std::string DecodeQuotedPrintable(const std::string& line) {
  std::string decoded;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] != '=') {
      decoded += line[i];
    } else if (i + 1 == line.size()) {
      // A soft line break: dropped.
    } else if (i + 2 < line.size() && IsUpperHexDigit(line[i + 1]) && IsUpperHexDigit(line[i + 2])) {
      decoded += static_cast<char>(HexValue(line[i + 1]) * 16 + HexValue(line[i + 2]));
      i += 2;
    } else {
      decoded += line.substr(i, 3);
      i += 2;
    }
  }
  return decoded;
}

bool IsBlank(const std::string& line) {
  return std::all_of(line.begin(), line.end(), [](char ch) { return ch == ' '; });
}

}  // namespace

bool ExtractPGPBlock(StringList& message, StringList* block, std::size_t* index) {
  int begin = FindMarker(message, BeginPGPMessage);
  if (begin < 0) begin = FindMarker(message, BeginPGPSignedMessage);
  if (begin < 0) return false;
  const std::size_t first = static_cast<std::size_t>(begin);
  std::size_t last = first + 1;
  while (last < message.size() && message[last] != EndPGPMessage && message[last] != EndPGPSignature) ++last;
  if (last >= message.size()) return false;

  block->Clear();
  for (std::size_t i = first; i <= last; ++i) {
    if (message[first] != "**") block->Add(message[first]);
    message.Delete(first);
  }
  *index = first;
  return true;
}

void RepairArmor(StringList& block) {
  if (!ShowsQuotedPrintableDamage(block)) return;
  bool repairing = false;
  for (std::size_t i = 0; i < block.size(); ++i) {
    std::string& line = block[i];
    if (i + 1 < block.size() && block[i + 1] == EndPGPMessage && line.starts_with("=3D")) {
      line.erase(1, 2);
      return;
    }
    if (line == EndPGPMessage) return;
    if (line == BeginPGPMessage) repairing = true;
    if (repairing) {
      const auto equals = line.find('=');
      if (equals != std::string::npos && equals + 1 < line.size()) line = DecodeQuotedPrintable(line);
    }
  }
}

void RestorePGPBlock(StringList& message, StringList replacement, std::size_t index) {
  while (!replacement.empty() && IsBlank(replacement[0])) replacement.Delete(0);
  while (!replacement.empty() && IsBlank(replacement[replacement.size() - 1])) replacement.Delete(replacement.size() - 1);
  std::size_t at = std::min(index, message.size());
  for (const std::string& line : replacement) message.Insert(at++, line);
}

StringList BuildVerificationBlock(StringList& errorLines, std::time_t now) {
  while (!errorLines.empty() && errorLines[0].find("Signature made") == std::string::npos) errorLines.Delete(0);
  StringList result;
  if (errorLines.empty()) return result;
  result.Add(std::string(PGPSignatureVerification));
  static constexpr std::array<std::string_view, 4> kEscapes = {"\\xe2", "\\x80", "\\x9c", "\\x9d"};
  for (const std::string& errorLine : errorLines) {
    if (!errorLine.starts_with("gpg:")) continue;
    std::string line = errorLine;
    for (std::string_view escape : kEscapes) {
      for (auto at = line.find(escape); at != std::string::npos; at = line.find(escape, at)) {
        line.erase(at, escape.size());
      }
    }
    result.Add("*** " + (line.size() > 5 ? line.substr(5, 128) : std::string()));
  }
  std::tm local{};
  localtime_r(&now, &local);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%02d/%02d/%02d %02d:%02d:%02d", local.tm_mon + 1, local.tm_mday,
                local.tm_year % 100, local.tm_hour, local.tm_min, local.tm_sec);
  result.Add(std::string("*** Verified ") + stamp);
  return result;
}

StringList BuildVerificationBlock(StringList& errorLines) { return BuildVerificationBlock(errorLines, std::time(nullptr)); }

}  // namespace fhr
