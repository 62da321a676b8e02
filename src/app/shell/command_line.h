#pragma once

#include <QStringList>

namespace vornel {

// What the program was asked to do on its command line.
struct CommandLine {
    enum class Action {
        Start,   // the usual start: live in the notification area
        Backup,  // one manual run, here or in the copy already running; exit with its outcome
        Done,    // help, version or a bad option: already answered, exit with `exitCode`
    };
    Action action = Action::Start;
    int exitCode = 0;
};

// Reads the arguments (the program's name first). "--help" and "--version" are answered on
// standard output; a bad option or argument gets one line on standard error and exit code 2.
// Runs before the window system is touched, so it also works without a display.
CommandLine readCommandLine(const QStringList& arguments);

}  // namespace vornel
