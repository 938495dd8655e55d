#include "decrypt/save_decrypted.h"

#include "core/text_helpers.h"
#include "news/list_key.h"
#include "news/message_text.h"

namespace fhr {

std::string DecryptedMessageKey(const std::string& key, const StringList& lines) {
  std::string newKey = WithReadFlag(key, true);
  const std::string sender = ExtractSender(lines);
  if (!sender.empty()) newKey = ReplaceField(3, newKey, kKeySeparator, MakeKeyField(sender));
  return newKey;
}

std::string SaveDecryptedMessage(TFHRDB& db, const std::string& key, const StringList& lines) {
  if (!db.WriteMessage(key, lines)) return {};
  const std::string newKey = DecryptedMessageKey(key, lines);
  if (newKey == key || !db.RenameMessage(key, newKey)) return key;
  return newKey;
}

}  // namespace fhr
