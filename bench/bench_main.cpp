// interlock-bench: the program's platform against a native program that does the same work on
// Vulkan and EGL directly. The two sides run in child processes that alternate, so that a busy
// machine slows both alike; the table gives each side's median and their ratio.
//
//   interlock-bench [--quick]      the table (--quick: fewer repetitions, under a minute)
//   interlock-bench --side program  (internal) the program's frames, reported on descriptor 3
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "program_subject.h"

namespace bench {
namespace {

const int kReportFd = 3;

enum Side { kProgram = 0, kNative = 1 };

struct Plan {
  int rounds;          // each round runs every child of both sides once, in alternating order
  int runs_per_round;  // whole runs per side and round
};

struct ChildResult {
  bool ok = false;
  double wall_ms = 0, cpu_ms = 0, peak_mib = 0;
  std::string report;
};

// Every series of one side: "frame 1008x985" and the like, plus the whole-run figures.
using Series = std::map<std::string, std::vector<double>>;

double NowMs() {
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

std::string OwnDirectory() {
  char path[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return ".";
  path[length] = 0;
  std::string self = path;
  return self.substr(0, self.rfind('/'));
}

// Runs `argv` with standard output (and, when `quiet`, standard error) going nowhere and
// descriptor 3 reporting back; measures its wall time, CPU time and peak resident memory.
ChildResult RunChild(const std::vector<std::string> &argv, bool quiet) {
  ChildResult result;
  int report[2];
  if (pipe(report) != 0) return result;
  double start = NowMs();
  pid_t child = fork();
  if (child == 0) {
    int nowhere = open("/dev/null", O_WRONLY);
    dup2(nowhere, STDOUT_FILENO);
    if (quiet) dup2(nowhere, STDERR_FILENO);
    dup2(report[1], kReportFd);
    std::vector<char *> args;
    for (const std::string &arg : argv) args.push_back(const_cast<char *>(arg.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(report[1]);
  char buffer[4096];
  ssize_t got;
  while ((got = read(report[0], buffer, sizeof buffer)) > 0) result.report.append(buffer, (size_t)got);
  close(report[0]);
  int status = 0;
  rusage usage = {};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return result;
  result.wall_ms = NowMs() - start;
  result.cpu_ms = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                  (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
  result.peak_mib = usage.ru_maxrss / 1024.0;
  result.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!result.ok) fprintf(stderr, "interlock-bench: %s failed (status 0x%x)\n", argv[0].c_str(), status);
  return result;
}

void AddReport(const std::string &report, Series *series) {
  std::istringstream lines(report);
  std::string kind, size;
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    fields >> kind >> size;
    std::vector<double> &values = (*series)[kind + " " + size];
    for (double value; fields >> value;) values.push_back(value);
  }
}

double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void PrintRow(const char *row, const char *unit, const Series series[2], const std::string &key) {
  double program = Median(series[kProgram].at(key)), native = Median(series[kNative].at(key));
  char ratio[16] = "-";
  if (native > 0) snprintf(ratio, sizeof ratio, "%.2fx", program / native);
  printf("%-32s %-10s %10.1f %10.1f %8s\n", row, unit, program, native, ratio);
}

bool HasAll(const Series &series, const std::vector<std::string> &keys) {
  for (const std::string &key : keys) {
    if (!series.count(key)) return false;
  }
  return true;
}

int RunBenchmark(bool quick) {
  const Plan plan = quick ? Plan{2, 2} : Plan{5, 3};
  std::string directory = OwnDirectory();
  std::vector<std::string> whole_run[2] = {{directory + "/interlock"}, {directory + "/interlock-native", "--run"}};
  std::vector<std::string> frames[2] = {{directory + "/interlock-bench", "--side", "program"},
                                        {directory + "/interlock-native", "--frames"}};
  if (quick) {
    frames[kProgram].push_back("--quick");
    frames[kNative].push_back("--quick");
  }
  // Both sides run headless: the benchmark measures the platform, not an X server.
  setenv("INTERLOCK_DISPLAY", "headless", 1);
  unsetenv("INTERLOCK_CAPTURE");
  Series series[2];
  bool ok = true;
  for (int round = 0; round < plan.rounds && ok; ++round) {
    // The side that goes first changes every round.
    Side order[2] = {round % 2 ? kNative : kProgram, round % 2 ? kProgram : kNative};
    for (int run = 0; run < plan.runs_per_round && ok; ++run) {
      for (Side side : order) {
        // The program's own output and live-object report are part of its run, not of the table.
        ChildResult result = RunChild(whole_run[side], side == kProgram);
        ok = ok && result.ok;
        series[side]["run cpu"].push_back(result.cpu_ms);
        series[side]["run wall"].push_back(result.wall_ms);
        series[side]["run peak"].push_back(result.peak_mib);
      }
    }
    for (Side side : order) {
      ChildResult result = RunChild(frames[side], false);
      ok = ok && result.ok;
      AddReport(result.report, &series[side]);
    }
  }
  const std::vector<std::string> keys = {"frame 1008x985", "frame 2048x2048", "frame 4096x4096", "resize 1008x985",
                                         "faults 1008x985", "faults 4096x4096", "passes 1008x985",
                                         "resize-faults 1008x985", "resize-targets 1008x985", "resize-frame 1008x985"};
  if (!ok || !HasAll(series[kProgram], keys) || !HasAll(series[kNative], keys)) {
    fprintf(stderr, "interlock-bench: a side failed; no table\n");
    return 1;
  }
  printf("interlock-bench%s: %d whole runs and %d frame processes per side, alternating; medians\n\n",
         quick ? " --quick" : "", plan.rounds * plan.runs_per_round, plan.rounds);
  printf("%-32s %-10s %10s %10s %8s\n", "", "", "program", "native", "ratio");
  PrintRow("whole run", "ms CPU", series, "run cpu");
  PrintRow("whole run (wall)", "ms", series, "run wall");
  PrintRow("frame 1008x985", "ms", series, "frame 1008x985");
  PrintRow("frame 2048x2048", "ms", series, "frame 2048x2048");
  PrintRow("frame 4096x4096", "ms", series, "frame 4096x4096");
  PrintRow("resize 1008x985", "ms", series, "resize 1008x985");
  PrintRow("  new targets", "ms", series, "resize-targets 1008x985");
  PrintRow("  first frame on them", "ms", series, "resize-frame 1008x985");
  PrintRow("page faults per frame", "1008x985", series, "faults 1008x985");
  PrintRow("page faults per frame", "4096x4096", series, "faults 4096x4096");
  PrintRow("page faults per resize", "1008x985", series, "resize-faults 1008x985");
  PrintRow("CPU passes over a frame's pixels", "per frame", series, "passes 1008x985");
  PrintRow("peak memory MiB", "whole run", series, "run peak");
  return 0;
}

}  // namespace
}  // namespace bench

int main(int argc, char **argv) {
  bool quick = false, program_side = false;
  for (int i = 1; i < argc; ++i) {
    if (strcmp(argv[i], "--quick") == 0) {
      quick = true;
    } else if (strcmp(argv[i], "--side") == 0 && i + 1 < argc && strcmp(argv[i + 1], "program") == 0) {
      program_side = true;
      ++i;
    } else {
      fprintf(stderr, "usage: interlock-bench [--quick]\n");
      return 2;
    }
  }
  if (!program_side) return bench::RunBenchmark(quick);
  FILE *report = fdopen(bench::kReportFd, "w");
  if (!report) return 1;
  int status = bench::MeasureProgram(quick, report);
  fclose(report);
  return status;
}
