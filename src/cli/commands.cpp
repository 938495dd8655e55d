#include "cli/commands.h"

namespace fhr::cli {

const std::vector<Command>& Commands() {
  static const std::vector<Command> commands = {
      {"paths", "", "show the program, data and GnuPG directories and the files in use", true, RunPaths},
      {"settings", "get NAME | set NAME VALUE | ls",
       "read or change a value of the [settings] section of the settings file", true, RunSettings},
      {"db", "ls [PATH] | cat PATH | put PATH | rm PATH",
       "list, print, write (from stdin) or delete the database's records by key path", true, RunDb},
      {"pack", "", "copy the database's live records into a smaller file", true, RunPack},
      {"tag", "esub SUBJECT | idea SUBJECT | hsub | test TAG",
       "make an ESUB (Blowfish or IDEA form) or HSUB from a secret on stdin; test a tag", true, RunTag},
      {"subject", "add --hsub | --esub [--ekey] --keyid ID | ls | enable|disable|rm SUBNO",
       "add (secrets from stdin), list, switch on or off, or remove subject lines", true, RunSubject},
  };
  return commands;
}

}  // namespace fhr::cli
