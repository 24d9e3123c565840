#pragma once

// The program's start: the update check, the database session, then the main window.
// Returns the process's exit code.
int Main();
