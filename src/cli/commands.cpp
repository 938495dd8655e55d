#include "cli/commands.h"

namespace fhr::cli {

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"paths", "", "show the program, data and GnuPG directories and the files in use", true, RunPaths},
      {"settings", "get NAME | set NAME VALUE | ls",
       "read or change a value of the [settings] section of the settings file", true, RunSettings},
      {"ls", "", "list the stored messages, newest first (stamp, read, date, From, subject, size)", true,
       RunListMessages},
      {"show", "STAMP", "print the stored message with that stamp", true, RunShowMessage},
      {"rm", "STAMP", "delete the stored message with that stamp", true, RunRemoveMessage},
      {"db", "ls [PATH] | cat PATH | put PATH | rm PATH",
       "list, print, write (from stdin) or delete the database's records by key path", true, RunDb},
      {"pack", "", "copy the database's live records into a smaller file", true, RunPack},
      {"keys", "", "list the nym keys (secret keys) as the program sees them: short ID and user ID", true, RunKeys},
      {"keyrings", "[--secret FILE] [--public FILE]", "show the keyrings gpg.conf names, or set them", true,
       RunKeyrings},
      {"tag", "esub SUBJECT | idea SUBJECT | hsub | test TAG",
       "make an ESUB (Blowfish or IDEA form) or HSUB from a secret on stdin; test a tag", false, RunTag},
      {"subject", "add --hsub | --esub [--ekey] --keyid ID | ls | enable|disable|rm SUBNO",
       "add (secrets from stdin), list, switch on or off, or remove subject lines", true, RunSubject},
      {"account", "add NAME --host HOST [...] | set NAME [...] | ls | rm NAME | use NAME|none",
       "add, change, list or remove news accounts (password from stdin), or choose the active one", true,
       RunAccount},
      {"proxy", "add [NAME] --host HOST --port N --socks 4|4a|5 [...] | set NAME [...] | ls | rm NAME | use NAME|none",
       "add, change, list or remove SOCKS proxies (password from stdin), or choose the active one", true, RunProxy},
      {"get", "[--account NAME]", "fetch the new articles and store those tagged for your subject lines", true,
       RunGet},
      {"check", "[--account NAME]", "count the waiting messages from the subjects alone, fetching nothing", true,
       RunCheck},
      {"catchup", "[--account NAME]", "skip to the newest article of the newsgroup without reading", true,
       RunCatchUp},
      {"secure", "on | off | passphrase | status",
       "encrypt the database between runs, stop that, change its passphrase, or show the mode", true, RunSecure},
      {"decrypt", "STAMP [--save]",
       "decrypt a stored nym message (key passphrase from the terminal or --passphrase-fd) and print it; "
       "--save stores it decrypted",
       true, RunDecrypt},
  };
  return commands;
}

}  // namespace fhr::cli
