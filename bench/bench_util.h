#pragma once

#include <functional>
#include <string>
#include <vector>

namespace vornel::bench {

// The command line both benchmarks read. Each takes the options in `known`; the rest are common:
//   [--dir PATH] [--files N] [--folders N] [--big-mib N] [--big-count N] [--pairs N] [--only L]
struct Options {
    std::string dir;  // made as a fresh temporary folder when not given (ownDir)
    bool ownDir = false;
    int files = 20000;
    int folders = 500;
    int bigMiB = 256;
    int bigCount = 6;
    int pairs = 5;
    std::string only;  // letters of the measurements to run
    int flat = 100000;
    std::string program;
    bool sync = false;
};
// Reads the command line over `defaults`; `known` lists the options beyond the common ones that
// this benchmark takes ("--flat", "--program", "--sync"). An unknown option stops it.
Options readOptions(int argc, char** argv, Options defaults, const std::vector<std::string>& known);
// Whether any of `letters` was asked for with --only.
bool wants(const Options& o, const char* letters);

// Seconds on the monotonic clock.
double now();
// Runs a command and waits for it; a failure stops the benchmark. `quiet` drops its output.
void run(const std::vector<std::string>& argv, bool quiet = false);
// Wall time of `f`, after the write-back of earlier work has reached the disk.
double timed(const std::function<void()>& f);
double median(std::vector<double> v);
// Peak resident memory of this process so far, in MiB.
double peakMiB();
// Load average over the last minute, as `uptime` shows it.
double loadAverage();

// `folders` folders in two levels (a few top folders holding the rest), `files` files spread
// evenly, 100 B .. 8 KiB each, with deterministic content.
void makeSmallTree(const std::string& root, int files, int folders);
// `count` files of `mib` MiB (plus a few bytes), no two blocks alike.
void makeBigTree(const std::string& root, int count, int mib);
// `files` files of 100 bytes in the one folder `root`.
void makeFlatTree(const std::string& root, int files);
// Deletes what a benchmark wrote under `dir` (entries whose names start with "out-").
void removeOutputs(const std::string& dir);

// Medians of alternating pairs: `ours` and `theirs` each run `pairs` times, A B B A A B…, each
// into a fresh folder. Prints each pair and the median line under `label`.
struct PairResult {
    double ours = 0, theirs = 0, ratio = 0;
};
PairResult alternate(const std::string& label, const std::string& oursName,
                     const std::string& theirsName, int pairs, const std::function<double()>& ours,
                     const std::function<double()>& theirs);

}  // namespace vornel::bench
