#pragma once

struct CommandLine;

// Starts the program in its window: reads the profile and the default settings, shows the
// main frame where it was last closed, opens the files of the command line (or a new plot),
// and runs until the frame closes. Returns the exit status.
int runApplication(const CommandLine& commandLine);

// Sets the program's name, version and icon on the running application.
void setApplicationIdentity();
