#pragma once
// The subject line record: how one nym's articles are tagged. Stored as the
// comma text of name=value fields, one line per subject line, in the
// database record "subjects".
#include <optional>
#include <string>
#include <vector>

namespace fhr {

class TFHRDB;

// The lowest subject line number; numbers below it are never given out.
inline constexpr long long kFirstSubjectNumber = 2000;

struct SubjectLine {
  std::string subno;    // permanent number, as text (stored messages refer to it)
  bool active = false;  // only active lines take part in matching
  std::string subject;  // ESUB: the plain-text subject; HSUB: the secret text
  bool esub = false;    // true: ESUB line; false: HSUB line
  std::string ephrase;  // ESUB passphrase (secret)
  bool ekey = false;    // the nymserver adds an Encrypt-Key layer
  std::string kphrase;  // Encrypt-Key password(s), comma-separated (secret)
  std::string keyid;    // key id of the nym's OpenPGP key

  SubjectLine() = default;
  SubjectLine(const SubjectLine&) = default;
  SubjectLine& operator=(const SubjectLine&) = default;
  // The secrets are wiped when a record goes away.
  ~SubjectLine();
};

// Reads a record from its comma text. The flags are true exactly when their
// field is "1"; missing fields are empty.
SubjectLine ParseSubjectLine(const std::string& commaText);

// The comma text of a record, fields in the order subno, active, subject,
// esub, ephrase, ekey, kphrase, keyid; empty text fields are left out.
std::string SubjectLineText(const SubjectLine& line);

// The number for a new subject line: the stored "nextsubject" (empty or not
// a number counts as 2000), but at least 2000 and above every number the
// stored lines (comma texts) already use, so a low or stale "nextsubject"
// can never hand out a number twice. The caller stores the result plus one
// as the new "nextsubject".
long long NextSubjectNumber(const std::string& storedNextSubject, const std::vector<std::string>& lineTexts);

// Gives a new subject line its number: NextSubjectNumber of the database
// setting "nextsubject" and the stored lines, storing that number plus one
// as "nextsubject". Nothing when the database could not be read or written
// (the database has reported why).
std::optional<std::string> AllocateSubjectNumber(TFHRDB& db);

// Index of the first stored line (comma texts) that `line` would duplicate:
// the same subject and the same passphrase, a line's passphrase being its
// ephrase on an ESUB line and empty on an HSUB line. -1 when there is none.
// Two lines that are duplicates would match the same articles, and the
// second would never be recorded.
int FindDuplicateSubjectLine(const SubjectLine& line, const std::vector<std::string>& lineTexts);

}  // namespace fhr
