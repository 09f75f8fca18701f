// pcbhost run: a plug-in as a server of the host. The host makes the
// plug-in's server module through its export ServerFactory, launches one of
// its commands by name, and shows the documents the command made.
//
//   pcbhost run SERVER COMMAND [NAME=VALUE]... [--plugin PLUGIN] [--json OUT] [--svg OUT]
//               [--cancel | --dialog-script SCRIPT | --interactive] [--common-dialog ANSWER]...
//               and the options of a person at the terminal as for import (Console.h)
#pragma once

#include <string>
#include <vector>

namespace pcbhost {

// The arguments after "run"; answers the program's exit status.
int RunServerCommand(const std::vector<std::string>& args);

inline constexpr char kRunUsage[] =
    "pcbhost run SERVER COMMAND [NAME=VALUE]... [--plugin PLUGIN] [--json OUT] [--svg OUT] "
    "[--cancel | --dialog-script SCRIPT | --interactive] [--common-dialog ANSWER]... "
    "[--map \"NAME=Host Layer\"]... [--answer yes|no] [--codepage N] [--layers NAMES] [--quiet]";

}  // namespace pcbhost
