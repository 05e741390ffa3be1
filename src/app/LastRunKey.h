#pragma once
// The name under which a command line's last run is kept in the last-run store.
//
// A store line's name ends at its first '=', so a command line holding '=' could never be
// found again. Such a command is kept with each '=' written as '|'. Command lines read from
// a schedule never hold '|' (the value's unescaping turns every '|' into ','), so the key of
// a command with '=' cannot equal the key of any other command, and command lines without
// '=' are kept exactly as they are.

#include <string>

std::string LastRunKey(std::string commandLine);
