#include "bench_util.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

extern char** environ;

namespace vornel::bench {
namespace {

namespace fs = std::filesystem;

// Deterministic content, so runs are comparable and nothing is sparse or all zeros.
std::string content(std::size_t size, unsigned seed) {
    std::string s(size, '\0');
    unsigned x = seed * 2654435761u + 1;
    for (char& c : s) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>('a' + (x >> 16) % 26);
    }
    return s;
}

void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

// The options that take a number, and where each goes.
const std::pair<const char*, int Options::*> kNumbers[] = {
    {"--files", &Options::files},    {"--folders", &Options::folders},
    {"--big-mib", &Options::bigMiB}, {"--big-count", &Options::bigCount},
    {"--pairs", &Options::pairs},    {"--flat", &Options::flat},
};

bool readOne(Options& o, const std::string& a, const std::function<std::string()>& next) {
    for (const auto& [name, field] : kNumbers) {
        if (a == name) {
            o.*field = std::stoi(next());
            return true;
        }
    }
    if (a == "--dir")
        o.dir = next();
    else if (a == "--only")
        o.only = next();
    else if (a == "--program")
        o.program = next();
    else if (a == "--sync")
        o.sync = true;
    else
        return false;
    return true;
}

}  // namespace

Options readOptions(int argc, char** argv, Options o, const std::vector<std::string>& known) {
    // Options that only one of the benchmarks takes.
    static const std::vector<std::string> own = {"--flat", "--program", "--sync"};
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto next = [&]() -> std::string {
            if (i + 1 >= argc) throw std::runtime_error(a + " needs a value");
            return argv[++i];
        };
        const bool foreign = std::find(own.begin(), own.end(), a) != own.end() &&
                             std::find(known.begin(), known.end(), a) == known.end();
        if (foreign || !readOne(o, a, next)) throw std::runtime_error("unknown option " + a);
    }
    if (o.dir.empty()) {
        std::string t = (fs::temp_directory_path() / "vornel-bench-XXXXXX").string();
        if (!::mkdtemp(t.data())) throw std::runtime_error("mkdtemp failed");
        o.dir = t;
        o.ownDir = true;
    }
    return o;
}

bool wants(const Options& o, const char* letters) {
    return o.only.find_first_of(letters) != std::string::npos;
}

double now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void run(const std::vector<std::string>& argv, bool quiet) {
    std::vector<char*> args;
    for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (quiet) posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) != 0)
        throw std::runtime_error("cannot start " + argv[0]);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error(argv[0] + " failed");
}

double timed(const std::function<void()>& f) {
    ::sync();  // earlier runs' write-back must not land in this one's time
    const double t0 = now();
    f();
    return now() - t0;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const std::size_t n = v.size();
    return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

double peakMiB() {
    struct rusage ru {};
    ::getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss / 1024.0;
}

double loadAverage() {
    double load[1] = {0};
    return ::getloadavg(load, 1) == 1 ? load[0] : -1;
}

void makeSmallTree(const std::string& root, int files, int folders) {
    const int top = std::max(1, folders / 25);
    std::vector<std::string> dirs;
    for (int t = 0; t < top; ++t) {
        const std::string d = root + "/dir" + std::to_string(t);
        fs::create_directories(d);
        dirs.push_back(d);
    }
    for (int i = top; i < folders; ++i) {
        const std::string d = dirs[static_cast<std::size_t>(i % top)] + "/sub" + std::to_string(i);
        fs::create_directories(d);
        dirs.push_back(d);
    }
    for (int i = 0; i < files; ++i) {
        const std::size_t size = 100 + (static_cast<std::size_t>(i) * 7919u) % 8092u;
        writeBytes(
            dirs[static_cast<std::size_t>(i) % dirs.size()] + "/file" + std::to_string(i) + ".dat",
            content(size, static_cast<unsigned>(i)));
    }
}

void makeBigTree(const std::string& root, int count, int mib) {
    fs::create_directories(root);
    const std::string block = content(1u << 20, 7);
    for (int i = 0; i < count; ++i) {
        std::ofstream out(root + "/large" + std::to_string(i) + ".bin", std::ios::binary);
        for (int k = 0; k < mib; ++k) {
            out.write(block.data(), static_cast<std::streamsize>(block.size()));
            out.put(static_cast<char>('0' + (i + k) % 10));  // no two blocks alike
        }
    }
}

void makeFlatTree(const std::string& root, int files) {
    fs::create_directories(root);
    for (int i = 0; i < files; ++i)
        writeBytes(root + "/f" + std::to_string(i), content(100, static_cast<unsigned>(i)));
}

void removeOutputs(const std::string& dir) {
    for (const auto& e : fs::directory_iterator(dir))
        if (e.path().filename().string().rfind("out-", 0) == 0) fs::remove_all(e.path());
}

PairResult alternate(const std::string& label, const std::string& oursName,
                     const std::string& theirsName, int pairs, const std::function<double()>& ours,
                     const std::function<double()>& theirs) {
    std::vector<double> a, b, ratios;
    for (int p = 0; p < pairs; ++p) {
        // Each goes first in every other pair: what the one before left to the file system
        // (inodes freed moments ago, pages to write back) falls on both alike.
        if (p % 2 == 0) {
            a.push_back(ours());
            b.push_back(theirs());
        } else {
            b.push_back(theirs());
            a.push_back(ours());
        }
        ratios.push_back(a.back() / b.back());
        std::printf("  pair %d: %s %.3f s, %s %.3f s, ratio %.3f (load %.1f)\n", p + 1,
                    oursName.c_str(), a.back(), theirsName.c_str(), b.back(), ratios.back(),
                    loadAverage());
        std::fflush(stdout);
    }
    PairResult r{median(a), median(b), median(ratios)};
    std::printf("%s median %s %.3f s, %s %.3f s, ratio %.3f\n", label.c_str(), oursName.c_str(),
                r.ours, theirsName.c_str(), r.theirs, r.ratio);
    std::fflush(stdout);
    return r;
}

}  // namespace vornel::bench
