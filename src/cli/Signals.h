// The signals zeb2000-cli heeds: SIGINT and SIGTERM stop a run cleanly, at its replace question
// as well, and end the program as usual outside a run; SIGWINCH makes the status line fit the
// terminal's new width.
#pragma once

class BackupRun;

namespace Signals {

// Installs the handlers for the rest of the process's life; false when one could not be.
bool install();
// The stop signal that came (SIGINT or SIGTERM), or 0.
int stopSignal();
// The run that a stop signal stops, or none: then a stop signal ends the program.
void setStoppableRun(BackupRun* run);
// Whether the terminal's size changed since the last call.
bool takeResize();

} // namespace Signals
