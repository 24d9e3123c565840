#pragma once

// The program's start: a settings file that cannot be used is named, the update check, the trial connection
// (a missing data source or an unreachable server ends the program with a message that says which), the
// database session, then the main window. Returns the process's exit code.
int Main();
