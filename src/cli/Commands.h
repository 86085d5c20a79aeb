// The commands of zeb2000-cli, each on the core the window uses too.
#pragma once

#include "cli/Invocation.h"

// Carries out the command; answers the exit code.
int runCommand(const Invocation& invocation);
