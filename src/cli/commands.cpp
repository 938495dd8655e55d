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
