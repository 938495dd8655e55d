#pragma once
// The message text rules that the message list, the message window and the
// subject lines editor share: the subject, the sender's address and the
// subject tag of a message's lines, and the address and domain rules.
#include <string>

#include "core/stringlist.h"

namespace fhr {

// The last "Subject:" line (that exact case) met before the third blank line
// of the lines, from its ninth byte on and trimmed of blanks; "" when none.
// The walk goes past the header, so the "Subject:" line of a decrypted
// message's own header, which follows the outer one, wins.
std::string ExtractSubject(const StringList& lines);

// The address (AddressIn) of the second "From:" line (that exact case) when
// there are two or more, otherwise of the first; "" when there is none or
// that line holds no address.
std::string ExtractSender(const StringList& lines);

// The "Hash-Subject:" header's value, or when that is empty the
// "Encrypt-Subject:" header's value; the header that gave a non-empty value
// is deleted from the lines. "" when neither has a value.
std::string ExtractSubjectTag(StringList& lines);

// The e-mail address around the first "@" of `text`: the bytes on either
// side up to a space, ";", "<", ",", ">", "=", LF or CR (or the text's
// ends), trimmed of blanks; "" when there is no "@".
std::string AddressIn(const std::string& text);

// The part of an address after its first "@", at most 1024 bytes; "" when
// there is no "@".
std::string DomainOf(const std::string& address);

}  // namespace fhr
