// Prints one table of speed and peak memory for the command-line tool
// against standard tools on the same lists, and the one-pass press against
// reading the list from the top for every pick. Figures are medians of
// interleaved rounds; nothing here passes or fails.

#include "core/list/shared_count.h"
#include "core/list/text_source.h"
#include "core/list/scan_kernels.h"
#include "core/list/word_list.h"
#include "core/picking/random_source.h"
#include "core/picking/selection.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <memory>
#include <iostream>
#include <random>
#include <string>
#include <sched.h>
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Run {
    double seconds = 0;
    double peakMiB = 0;
};

Run runCommand(const std::vector<std::string>& argv)
{
    const auto start = std::chrono::steady_clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        const int devnull = open("/dev/null", O_WRONLY);
        dup2(devnull, STDOUT_FILENO);
        std::vector<char*> args;
        for (const auto& a : argv)
            args.push_back(const_cast<char*>(a.c_str()));
        args.push_back(nullptr);
        execvp(args[0], args.data());
        _exit(127);
    }
    int status = 0;
    rusage usage {};
    wait4(pid, &status, 0, &usage);
    const auto end = std::chrono::steady_clock::now();
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        std::cerr << "warning: " << argv[0] << " exited with status " << WEXITSTATUS(status) << "\n";
    return {std::chrono::duration<double>(end - start).count(), static_cast<double>(usage.ru_maxrss) / 1024.0};
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Pair {
    Run ours;
    Run theirs;
    Run floor; // the read floor of the same file, measured alongside
};

// The share of processor time that went idle over a short while (1 when
// it cannot be told).
double idleShare()
{
    const auto sample = [](std::uint64_t& idle, std::uint64_t& total) {
        std::ifstream stat("/proc/stat");
        std::string cpu;
        stat >> cpu;
        idle = total = 0;
        std::uint64_t value = 0;
        for (int i = 0; stat >> value && i < 10; ++i) {
            total += value;
            if (i == 3 || i == 4) // idle, waiting for input or output
                idle += value;
        }
    };
    std::uint64_t idle0, total0, idle1, total1;
    sample(idle0, total0);
    usleep(200'000);
    sample(idle1, total1);
    return total1 > total0 ? static_cast<double>(idle1 - idle0) / static_cast<double>(total1 - total0) : 1.0;
}

// Other work on the machine takes the second processor away from a count
// that splits: each round waits, up to half a minute, until it is quiet.
void waitForQuiet()
{
    for (int i = 0; i < 150 && idleShare() < 0.9; ++i) {
    }
}

// Ours, theirs and the read floor, in turn, the order rotating each round.
Pair compare(const std::vector<std::string>& ours, const std::vector<std::string>& theirs,
             const std::vector<std::string>& floor, int rounds)
{
    const std::vector<std::string>* commands[3] = {&ours, &theirs, &floor};
    std::vector<double> seconds[3];
    std::vector<double> peak[3];
    for (const auto* command : commands)
        runCommand(*command); // warm the page cache and the binaries
    for (int i = 0; i < rounds; ++i) {
        waitForQuiet();
        for (int j = 0; j < 3; ++j) {
            const int which = (i + j) % 3;
            const Run run = runCommand(*commands[which]);
            seconds[which].push_back(run.seconds);
            peak[which].push_back(run.peakMiB);
        }
    }
    return {{median(seconds[0]), median(peak[0])}, {median(seconds[1]), median(peak[1])},
            {median(seconds[2]), median(peak[2])}};
}

// Lines of 3 to 12 lower-case letters; the total size roughly `bytes` or
// exactly `lines` lines.
void writeList(const fs::path& path, std::uint64_t lines, bool crlf)
{
    if (fs::exists(path))
        return;
    std::mt19937_64 rng(42);
    std::ofstream out(path, std::ios::binary);
    std::string buffer;
    buffer.reserve(1 << 20);
    for (std::uint64_t i = 0; i < lines; ++i) {
        const int len = 3 + static_cast<int>(rng() % 10);
        for (int j = 0; j < len; ++j)
            buffer.push_back(static_cast<char>('a' + rng() % 26));
        if (crlf)
            buffer.push_back('\r');
        buffer.push_back('\n');
        if (buffer.size() > (1 << 20) - 64) {
            out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            buffer.clear();
        }
    }
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
}

// "x floor" is the read floor's time over ours: above 1, ours beats merely
// reading the file.
void row(const std::string& what, const std::string& other, const Pair& p)
{
    std::printf("| %-68s | %8.3f s | %8.3f s | %6.2fx | %8.3f s | %6.2fx | %8.1f MiB | %8.1f MiB |\n",
                (what + " vs " + other).c_str(), p.ours.seconds, p.theirs.seconds, p.theirs.seconds / p.ours.seconds,
                p.floor.seconds, p.floor.seconds / p.ours.seconds, p.ours.peakMiB, p.theirs.peakMiB);
    std::fflush(stdout);
}

} // namespace

// Seconds per GiB of `scan` over a list held in the processor's cache: the
// best of `rounds`.
template <class Scan>
double secondsPerGiB(int rounds, Scan scan)
{
    double best = 1e9;
    for (int r = 0; r < rounds; ++r) {
        const auto t0 = std::chrono::steady_clock::now();
        scan();
        best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
    }
    return best;
}

// Each scan kernel against plain byte loops, on the same bytes in cache.
void kernelRows(int rounds)
{
    std::vector<unsigned char> bytes(256 << 10);
    std::mt19937_64 rng(42);
    for (std::size_t i = 0; i < bytes.size();) {
        const int len = 3 + static_cast<int>(rng() % 10);
        for (int j = 0; j < len && i < bytes.size(); ++j)
            bytes[i++] = static_cast<unsigned char>('a' + rng() % 26);
        if (i < bytes.size())
            bytes[i++] = '\n';
    }
    const int repeats = (1 << 30) / static_cast<int>(bytes.size()); // 1 GiB in all
    volatile std::uint64_t sink = 0;
    std::printf("\nScan kernels on a list in cache (best of %d rounds; the dispatcher uses \"%s\"):\n\n", rounds,
                tavilon::scan::bestKernels().name);
    std::printf("| %-40s | %10s | %8s |\n", "kernel", "s per GiB", "GB/s");
    std::printf("|%s|%s|%s|\n", std::string(42, '-').c_str(), std::string(12, '-').c_str(), std::string(10, '-').c_str());
    const auto print = [](const std::string& name, double s) {
        std::printf("| %-40s | %10.3f | %8.2f |\n", name.c_str(), s, 1.073741824 / s);
        std::fflush(stdout);
    };
    for (const auto& kernels : tavilon::scan::shippedKernels()) {
        if (!kernels.runsHere)
            continue;
        print(std::string(kernels.name) + " (full word rules)", secondsPerGiB(rounds, [&] {
                  tavilon::scan::CountState state;
                  for (int r = 0; r < repeats; ++r)
                      kernels.count(bytes.data(), bytes.size(), state);
                  sink = sink + state.words;
              }));
    }
    print("byte loop (full word rules)", secondsPerGiB(rounds, [&] {
              std::uint64_t words = 0;
              bool content = false;
              bool nul = false;
              for (int r = 0; r < repeats; ++r) {
                  for (unsigned char c : bytes) {
                      if (c == '\n' || c == '\r') {
                          words += content;
                          content = false;
                      } else if (c != ' ' && c != '\t') {
                          content = true;
                          nul = nul || c == 0;
                      }
                  }
              }
              sink = sink + words + nul;
          }));
    print("byte loop (LF only)", secondsPerGiB(rounds, [&] {
              std::uint64_t lines = 0;
              for (int r = 0; r < repeats; ++r)
                  for (unsigned char c : bytes)
                      lines += c == '\n';
              sink = sink + lines;
          }));
}

// The read floor: the file copied out with plain read() calls of 64 KiB,
// touching one byte per page, and nothing else.
int readFloor(const char* path)
{
    const int fd = open(path, O_RDONLY);
    if (fd < 0)
        return 1;
    std::vector<char> buffer(64 << 10);
    unsigned sum = 0;
    for (;;) {
        const ssize_t n = read(fd, buffer.data(), buffer.size());
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n; i += 4096)
            sum += static_cast<unsigned char>(buffer[static_cast<std::size_t>(i)]);
    }
    close(fd);
    return sum == 1 ? 3 : 0; // keeps the touches from being optimised away
}

// Picks without repeats against shuf, which reads the whole list through a
// reservoir, and picks from /dev/urandom against shuf -r with the same
// source: a million of each, on the LF lists.
void samplingRows(const std::string& tool, const std::string& self, const fs::path& dir, bool quick, int rounds)
{
    for (const auto& [name, lines] : {std::pair<std::string, std::uint64_t> {"1M lines LF", 1'000'000},
                                      {"10M lines LF", 10'000'000}, {"1 GB LF (118M lines)", 118'000'000}}) {
        if (quick && lines > 10'000'000)
            continue;
        const fs::path path = dir / (std::to_string(lines) + "-lf.txt");
        writeList(path, lines, false);
        const std::string file = path.string();
        const std::vector<std::string> floor = {self, "--read-floor", file};
        row(name + ": 1M picks -u", "shuf",
            compare({tool, "pick", "-u", "-n", "1000000", file}, {"shuf", "-n", "1000000", file}, floor, rounds));
        row(name + ": 1M picks from urandom", "shuf -r",
            compare({tool, "pick", "--random-source=/dev/urandom", "-n", "1000000", file},
                    {"shuf", "-r", "-n", "1000000", "--random-source=/dev/urandom", file}, floor, rounds));
    }
}

// Keeps one processor busy until killed: the load another program puts on
// the machine.
int busyLoop()
{
    volatile std::uint64_t spin = 0;
    for (;;)
        spin = spin + 1;
}

// A busy loop on the last processor this process may use, for as long as
// the object lives.
class BusyProcessor {
public:
    BusyProcessor(const std::string& self)
    {
        cpu_set_t set;
        CPU_ZERO(&set);
        sched_getaffinity(0, sizeof set, &set);
        int last = 0;
        for (int cpu = 0; cpu < CPU_SETSIZE; ++cpu)
            if (CPU_ISSET(cpu, &set))
                last = cpu;
        pid_ = fork();
        if (pid_ == 0) {
            CPU_ZERO(&set);
            CPU_SET(last, &set);
            sched_setaffinity(0, sizeof set, &set);
            execl(self.c_str(), self.c_str(), "--busy", static_cast<char*>(nullptr));
            _exit(127);
        }
        usleep(100'000);
    }
    ~BusyProcessor()
    {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    BusyProcessor(const BusyProcessor&) = delete;
    BusyProcessor& operator=(const BusyProcessor&) = delete;

private:
    pid_t pid_ = -1;
};

// Medians of `rounds` interleaved rounds of `commands`, the order rotating
// each round; each round begins when the processors are idle unless `busy`.
std::vector<Run> interleaved(const std::vector<std::vector<std::string>>& commands, int rounds, bool busy)
{
    std::vector<std::vector<double>> seconds(commands.size()), peak(commands.size());
    for (const auto& command : commands)
        runCommand(command); // warm the page cache and the binaries
    for (int i = 0; i < rounds; ++i) {
        if (!busy)
            waitForQuiet();
        for (std::size_t j = 0; j < commands.size(); ++j) {
            const std::size_t which = (static_cast<std::size_t>(i) + j) % commands.size();
            const Run run = runCommand(commands[which]);
            seconds[which].push_back(run.seconds);
            peak[which].push_back(run.peakMiB);
        }
    }
    std::vector<Run> medians;
    for (std::size_t k = 0; k < commands.size(); ++k)
        medians.push_back({median(seconds[k]), *std::max_element(peak[k].begin(), peak[k].end())});
    return medians;
}

// Our count and picks against the machine's own floors (line ends counted
// by one or two threads, copied or mapped) and wc -l, on all processors and
// again with a busy loop on one of them.
void floorRows(const std::string& tool, const std::string& self, const std::string& floorTool,
               const std::string& name, const std::string& file, int rounds)
{
    const std::vector<std::pair<std::string, std::vector<std::string>>> commands = {
        {"ours: count", {tool, "count", file}},
        {"ours: pick -n 1000", {tool, "pick", "-n", "1000", file}},
        {"floor: copied, 1 thread", {floorTool, "copy", "1", file}},
        {"floor: copied, 2 threads", {floorTool, "copy", "2", file}},
        {"floor: mapped, 1 thread", {floorTool, "mapped", "1", file}},
        {"floor: mapped, 2 threads", {floorTool, "mapped", "2", file}},
        {"wc -l", {"wc", "-l", file}},
    };
    std::vector<std::vector<std::string>> argvs;
    for (const auto& command : commands)
        argvs.push_back(command.second);
    for (const bool busy : {false, true}) {
        std::unique_ptr<BusyProcessor> load;
        if (busy)
            load = std::make_unique<BusyProcessor>(self);
        const std::vector<Run> runs = interleaved(argvs, rounds, busy);
        double bestFloor = 1e9;
        double bestOneThread = 1e9;
        for (std::size_t k = 2; k < 6; ++k) {
            bestFloor = std::min(bestFloor, runs[k].seconds);
            if (k % 2 == 0)
                bestOneThread = std::min(bestOneThread, runs[k].seconds);
        }
        std::printf("\n%s, %s: medians of %d interleaved rounds; x best floor = the best floor's time / this one's.\n\n",
                    name.c_str(), busy ? "one processor kept busy by another program" : "processors idle", rounds);
        std::printf("| %-28s | %10s | %13s | %20s | %10s |\n", "command", "time", "x best floor",
                    "x best 1-thread floor", "peak");
        std::printf("|%s|%s|%s|%s|%s|\n", std::string(30, '-').c_str(), std::string(12, '-').c_str(),
                    std::string(15, '-').c_str(), std::string(22, '-').c_str(), std::string(12, '-').c_str());
        for (std::size_t k = 0; k < commands.size(); ++k)
            std::printf("| %-28s | %8.1f ms | %12.2fx | %19.2fx | %6.1f MiB |\n", commands[k].first.c_str(),
                        runs[k].seconds * 1000, bestFloor / runs[k].seconds, bestOneThread / runs[k].seconds,
                        runs[k].peakMiB);
        std::printf("\n1000 picks take %.2fx one count; wc -l takes %.2fx our count.\n", runs[1].seconds / runs[0].seconds,
                    runs[6].seconds / runs[0].seconds);
        std::fflush(stdout);
    }
}

int main(int argc, char** argv)
{
    if (argc == 3 && std::string(argv[1]) == "--read-floor")
        return readFloor(argv[2]);
    if (argc == 2 && std::string(argv[1]) == "--busy")
        return busyLoop();
    if (argc < 3) {
        std::cerr << "usage: tavilon-bench PICK_TOOL WORK_DIR [ROUNDS] [--quick | --floors]\n";
        return 2;
    }
    const std::string tool = argv[1];
    const std::string self = fs::read_symlink("/proc/self/exe").string();
    const std::string floorTool = (fs::path(self).parent_path() / "tavilon-floor").string();
    const fs::path dir = argv[2];
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    const bool quick = argc > 4 && std::string(argv[4]) == "--quick";
    const bool floorsOnly = argc > 4 && std::string(argv[4]) == "--floors";
    fs::create_directories(dir);

    // The count against the machine's floors, on the 1 GB list (the 10M-line
    // one when quick): at least ten rounds, as single runs vary by a third.
    {
        const std::uint64_t lines = quick ? 10'000'000 : 118'000'000;
        const fs::path path = dir / (std::to_string(lines) + "-lf.txt");
        writeList(path, lines, false);
        floorRows(tool, self, floorTool, quick ? "10M lines LF" : "1 GB LF (118M lines)", path.string(),
                  std::max(rounds, 10));
        std::printf("\n");
    }
    if (floorsOnly) {
        const fs::path path = dir / "10000000-lf.txt";
        writeList(path, 10'000'000, false);
        row("10M lines LF: 1M picks", "shuf -r",
            compare({tool, "pick", "-n", "1000000", path.string()}, {"shuf", "-r", "-n", "1000000", path.string()},
                    {self, "--read-floor", path.string()}, std::max(rounds, 10)));
        return 0;
    }

    struct List {
        std::string name;
        std::uint64_t lines;
        bool crlf;
    };
    std::vector<List> lists = {{"1M lines LF", 1'000'000, false},
                               {"1M lines CRLF", 1'000'000, true},
                               {"10M lines LF", 10'000'000, false}};
    if (!quick) {
        lists.push_back({"1 GB LF (118M lines)", 118'000'000, false});
        lists.push_back({"1 GB CRLF (110M lines)", 110'000'000, true});
    }

    std::printf("Medians of %d interleaved rounds, each begun when the processors were idle; ratio = other tool's\n"
                "time / ours; read floor = plain read() of the same file in 64 KiB pieces, same rounds; x floor =\n"
                "read floor's time / ours.\n\n", rounds);
    std::printf("| %-68s | %10s | %10s | %7s | %10s | %7s | %12s | %12s |\n", "list: command", "ours", "other", "ratio",
                "read floor", "x floor", "ours peak", "other peak");
    std::printf("|%s|%s|%s|%s|%s|%s|%s|%s|\n", std::string(70, '-').c_str(), std::string(12, '-').c_str(),
                std::string(12, '-').c_str(), std::string(9, '-').c_str(), std::string(12, '-').c_str(),
                std::string(9, '-').c_str(), std::string(14, '-').c_str(), std::string(14, '-').c_str());
    for (const List& list : lists) {
        const fs::path path = dir / (std::to_string(list.lines) + (list.crlf ? "-crlf" : "-lf") + ".txt");
        writeList(path, list.lines, list.crlf);
        const std::string file = path.string();
        const std::vector<std::string> floor = {self, "--read-floor", file};
        row(list.name + ": count", "wc -l", compare({tool, "count", file}, {"wc", "-l", file}, floor, rounds));
        if (!quick || list.lines >= 10'000'000)
            row(list.name + ": count on one core", "wc -l",
                compare({"taskset", "-c", "0", tool, "count", file}, {"wc", "-l", file}, floor, rounds));
        row(list.name + ": 1000 picks", "shuf -r",
            compare({tool, "pick", "-n", "1000", file}, {"shuf", "-r", "-n", "1000", file}, floor, rounds));
        row(list.name + ": 1M picks", "shuf -r",
            compare({tool, "pick", "-n", "1000000", file}, {"shuf", "-r", "-n", "1000000", file}, floor, rounds));
    }

    samplingRows(tool, self, dir, quick, rounds);

    // The one-pass press against the list read from the top for every pick.
    {
        const fs::path path = dir / "100000-lf.txt";
        writeList(path, 100'000, false);
        const std::string file = path.string();
        const std::uint64_t count = tavilon::countWords(file).value();
        std::vector<double> onePass, perPick;
        for (int i = 0; i < rounds; ++i) {
            tavilon::RandomSource a;
            tavilon::RandomSource b;
            auto t0 = std::chrono::steady_clock::now();
            auto fast = tavilon::press({200, count, file}, a);
            auto t1 = std::chrono::steady_clock::now();
            auto slow = tavilon::pressOnePickAtATime({200, count, file}, b);
            auto t2 = std::chrono::steady_clock::now();
            if (!fast || !slow || fast.value().words != slow.value().words)
                std::cerr << "warning: the two presses differ\n";
            onePass.push_back(std::chrono::duration<double>(t1 - t0).count());
            perPick.push_back(std::chrono::duration<double>(t2 - t1).count());
        }
        std::printf("| %-68s | %8.3f s | %8.3f s | %6.0fx | %10s | %7s | %12s | %12s |\n",
                    "100k lines: 200 picks one pass vs per pick", median(onePass), median(perPick),
                    median(perPick) / median(onePass), "-", "-", "-", "-");
    }
    kernelRows(std::min(rounds, 3));
    return 0;
}
