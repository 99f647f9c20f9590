#pragma once

#include <memory>

struct CommandLine;

// The dialogs that documents and page objects open, installed for everyone to use for the life
// of this object (the run of the program, or a test that drives the real windows).
class ProgramDialogs
{
public:
    ProgramDialogs();
    ~ProgramDialogs();
    ProgramDialogs(const ProgramDialogs&) = delete;
    ProgramDialogs& operator=(const ProgramDialogs&) = delete;

private:
    struct Installation;
    std::unique_ptr<Installation> installation_;
};

// Starts the program in its window: reads the profile and the default settings, shows the
// main frame where it was last closed, opens the files of the command line (or a new plot),
// and runs until the frame closes. Returns the exit status.
int runApplication(const CommandLine& commandLine);

// Sets the program's name, version and icon on the running application.
void setApplicationIdentity();
