#pragma once

// The options that answer on the terminal and open no window: --help, --version, --check.
// Returns the exit code of the option given, or -1 when none of them is given and the window is to open (the
// other arguments are Qt's own, e.g. -platform).
int RunTerminalOption(int argc, char** argv);

// The text of --help.
const char* HelpText();
