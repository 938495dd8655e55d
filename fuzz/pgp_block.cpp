// Any message text (as gpg or a news article may deliver it) goes through
// the block rules without a crash: classification, cutting out, repair,
// putting back, status lines and verification lines. A failed cut leaves
// the message as it was; putting the block back never makes it longer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "gnupg/gpg_process.h"
#include "gnupg/pgp_block.h"
#include "gnupg/pgp_markers.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fhr::StringList message;
  message.SetText(std::string(reinterpret_cast<const char*>(data), size));
  fhr::GPGIsPGPMessage(message);
  fhr::GPGIsClearSigned(message);
  fhr::GPGHasVerification(message);
  for (const std::string& line : message) fhr::ParseStatusLine(line);

  const fhr::StringList original = message;
  fhr::StringList block;
  std::size_t index = 0;
  if (fhr::ExtractPGPBlock(message, &block, &index)) {
    if (index > message.size()) std::abort();
    fhr::StringList repaired = block;
    fhr::RepairArmor(repaired);
    fhr::StringList rebuilt = message;
    fhr::RestorePGPBlock(rebuilt, block, index);
    if (rebuilt.size() > original.size()) std::abort();
  } else if (!(message == original)) {
    std::abort();
  }
  fhr::StringList errors = original;
  fhr::BuildVerificationBlock(errors, 0);
  return 0;
}
