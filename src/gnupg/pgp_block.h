#pragma once
// Cutting the armored block out of a message for GnuPG, mending armor that
// passed through a quoted-printable encoder, putting a result back in the
// block's place, and turning gpg's signature report into the program's
// verification lines.
#include <cstddef>
#include <ctime>

#include "core/stringlist.h"

namespace fhr {

// Finds the first "BEGIN PGP MESSAGE" line (else the first "BEGIN PGP
// SIGNED MESSAGE" line), letter case ignored, and moves it and every line up
// to and including the first line after it that is exactly the end of a
// message or of a signature out of `message` into `*block`, dropping lines
// that are exactly "**". `*index` gets the begin line's index. False, with
// `message` unchanged, when there is no begin line or no exact end line
// after it.
bool ExtractPGPBlock(StringList& message, StringList* block, std::size_t* index);

// Undoes quoted-printable damage to an armored block in place: "=3D" and
// other "=" plus two upper-case hex digits inside lines become the bytes
// they stand for, a soft line break "=" at a line's end goes, and a checksum
// line "=3D..." regains its single "=". A block without such damage (no
// "=3D" anywhere, and no "=XX" outside the checksum line) is left alone, so
// a valid checksum that happens to start with two hex digits survives.
void RepairArmor(StringList& block);

// Inserts `replacement`, without blank lines at its ends, into `message`
// at `index` (at the end when `index` lies beyond it).
void RestorePGPBlock(StringList& message, StringList replacement, std::size_t index);

// The verification lines for gpg's error lines: from the first line holding
// "Signature made" on, each "gpg:" line without gpg's escaped quotation
// marks and without "gpg: ", at most 128 characters, after "*** ", framed
// by the verification banner and a "*** Verified MM/DD/YY HH:NN:SS" line
// (local time `now`). Lines before "Signature made" are removed from
// `errorLines` (all of them when there is none, and the result is empty).
StringList BuildVerificationBlock(StringList& errorLines, std::time_t now);
StringList BuildVerificationBlock(StringList& errorLines);

}  // namespace fhr
