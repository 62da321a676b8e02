#pragma once

#include <string>

#include "backup/copy_progress.h"

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
    // A copy failed in ignore-and-copy mode, or an error stopped the run.
    bool failed = false;
    // What the run looked at and copied.
    RunCounts counts;
};

// The exit code a script sees: 0 everything was copied, 1 the run failed, was cancelled or
// left out a whole folder, 3 it completed but left out files that were in use.
int exitCodeFor(const RunResult& result);

// The end-of-run notice: what needs looking at and where to look, one line each; empty for a
// clean run, which only beeps.
std::string runNotice(const RunResult& result);

}  // namespace vornel
