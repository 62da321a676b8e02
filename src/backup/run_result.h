#pragma once

namespace vornel {

// How one run ended, for whoever asked for it from outside the program (a script).
struct RunResult {
    enum class Outcome { NotStarted, Completed, Cancelled };
    Outcome outcome = Outcome::NotStarted;
    // Files left out in skip mode ("[Skiped Copy File]").
    int skippedFiles = 0;
    // Entries of the error log: a folder that is missing or lies inside its source, a path
    // too long. The history still says "[Success]", but a pair was not backed up.
    int errors = 0;
};

// The exit code a script sees: 0 everything was copied, 1 the run failed, was cancelled or
// left out a whole folder, 3 it completed but left out files that were in use.
int exitCodeFor(const RunResult& result);

}  // namespace vornel
