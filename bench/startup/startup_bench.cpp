// Measures the start-up of kolvex against a bare Qt window: both programs are started N times,
// alternately, under the current QT_QPA_PLATFORM with the startup probe preloaded, and the table
// gives, for each, the time from process start to the painted input window, the time from
// pressing the show button to the painted result window and the peak resident memory, with the
// ratios kolvex/bare.
//
//   startup_bench [--runs N] [--warmup N] [--timeout SECONDS]
//                 [--kolvex PATH] [--bare PATH] [--probe PATH]
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

struct Options {
  int runs = 60;
  int warmup = 4;
  int timeout_seconds = 30;
  std::string kolvex = KOLVEX_PROGRAM;
  std::string bare = BARE_PROGRAM;
  std::string probe = STARTUP_PROBE;
};

// One start of one program. Times in milliseconds, memory in MiB.
struct Run {
  std::string error;       // empty when the run went through
  int round = 0;           // runs of the same round ran one after the other
  double loading = 0;      // process start -> libraries loaded
  double constructing = 0; // -> QApplication constructed: static initialisation, platform plugin
  double showing = 0;      // -> input window painted: windows created, shown and painted
  double start = 0;        // process start -> input window painted
  double press = 0;        // show button pressed -> result window painted
  double cpu = 0;          // user and system time of the whole run
  double peak_memory = 0;
  double memory_at_paint = 0;
  std::string input_class;
  std::string result_class;
};

struct Program {
  std::string name;
  std::string path;
  std::vector<Run> runs;
  std::string input_class;
  std::string result_class;
  std::string first_error;
  int failures = 0;
};

long long MonotonicNanoseconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

double Milliseconds(long long nanoseconds) {
  return static_cast<double>(nanoseconds) / 1e6;
}

double Mebibytes(long kibibytes) {
  return static_cast<double>(kibibytes) / 1024.0;
}

std::vector<std::string> Words(const std::string &line) {
  std::vector<std::string> words;
  std::size_t at = 0;
  while (at < line.size()) {
    const std::size_t end = std::min(line.find(' ', at), line.size());
    words.push_back(line.substr(at, end - at));
    at = end + 1;
  }
  return words;
}

// The probe's lines, read until the program closes the pipe or the deadline passes. Returns
// false on the deadline.
bool ReadReports(int fd, long long deadline, std::vector<std::string> &lines) {
  std::string pending;
  char buffer[4096];
  for (;;) {
    const long long left = deadline - MonotonicNanoseconds();
    if (left <= 0) {
      return false;
    }
    pollfd ready{fd, POLLIN, 0};
    const int polled = poll(&ready, 1, static_cast<int>(left / 1'000'000 + 1));
    if (polled < 0 && errno == EINTR) {
      continue;
    }
    if (polled == 0) {
      continue;
    }
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got <= 0) {
      return true;
    }
    pending.append(buffer, static_cast<std::size_t>(got));
    for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
      lines.push_back(pending.substr(0, end));
      pending.erase(0, end + 1);
    }
  }
}

std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  lseek(fd, 0, SEEK_SET);
  for (ssize_t got; (got = read(fd, buffer, sizeof buffer)) > 0;) {
    text.append(buffer, static_cast<std::size_t>(got));
  }
  return text;
}

// Fills the run from the probe's lines; says what is missing.
std::string Interpret(const std::vector<std::string> &lines, long long spawned, Run &run) {
  long long loaded = 0;
  long long constructed = 0;
  long long painted = 0;
  long long pressed = 0;
  long long shown = 0;
  for (const std::string &line : lines) {
    const std::vector<std::string> words = Words(line);
    if (words.empty()) {
      continue;
    }
    if (words[0] == "error") {
      return "probe: " + line.substr(std::min<std::size_t>(6, line.size()));
    }
    if (words[0] == "loaded" && words.size() == 2) {
      loaded = std::atoll(words[1].c_str());
    } else if (words[0] == "constructed" && words.size() == 2) {
      constructed = std::atoll(words[1].c_str());
    } else if (words[0] == "painted" && words.size() == 4) {
      painted = std::atoll(words[1].c_str());
      run.memory_at_paint = Mebibytes(std::atol(words[2].c_str()));
      run.input_class = words[3];
    } else if (words[0] == "pressed" && words.size() == 2) {
      pressed = std::atoll(words[1].c_str());
    } else if (words[0] == "shown" && words.size() == 4) {
      shown = std::atoll(words[1].c_str());
      run.result_class = words[3];
    }
  }
  if (loaded == 0 || constructed == 0) {
    return "the probe did not start (no QApplication?)";
  }
  if (painted == 0) {
    return "no window was painted";
  }
  if (pressed == 0) {
    return "Button1 was never pressed";
  }
  if (shown == 0) {
    return "no second window was painted after pressing Button1";
  }
  run.loading = Milliseconds(loaded - spawned);
  run.constructing = Milliseconds(constructed - loaded);
  run.showing = Milliseconds(painted - constructed);
  run.start = Milliseconds(painted - spawned);
  run.press = Milliseconds(shown - pressed);
  return {};
}

Run RunOnce(const std::string &path, const Options &options) {
  Run run;
  int pipe_fds[2];
  if (pipe2(pipe_fds, O_CLOEXEC) != 0) {
    run.error = std::string("pipe: ") + std::strerror(errno);
    return run;
  }
  const int read_end = pipe_fds[0];
  const int write_end = pipe_fds[1];
  fcntl(write_end, F_SETFD, 0); // the program inherits the write end
  const int messages = memfd_create("startup_bench_stderr", MFD_CLOEXEC);

  std::string preload = options.probe;
  std::vector<std::string> environment;
  for (char **entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    if (text.starts_with("LD_PRELOAD=")) {
      preload += ':' + std::string(text.substr(11));
    } else if (!text.starts_with("STARTUP_PROBE_FD=")) {
      environment.emplace_back(text);
    }
  }
  environment.push_back("LD_PRELOAD=" + preload);
  environment.push_back("STARTUP_PROBE_FD=" + std::to_string(write_end));
  std::vector<char *> envp;
  for (std::string &entry : environment) {
    envp.push_back(entry.data());
  }
  envp.push_back(nullptr);
  std::string program = path;
  char *argv[] = {program.data(), nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  if (messages >= 0) {
    posix_spawn_file_actions_adddup2(&actions, messages, 2);
  }

  pid_t pid = 0;
  const long long spawned = MonotonicNanoseconds();
  const int spawn_error = posix_spawn(&pid, argv[0], &actions, nullptr, argv, envp.data());
  posix_spawn_file_actions_destroy(&actions);
  close(write_end);
  if (spawn_error != 0) {
    close(read_end);
    if (messages >= 0) {
      close(messages);
    }
    run.error = "cannot start " + path + ": " + std::strerror(spawn_error);
    return run;
  }

  std::vector<std::string> lines;
  const bool ended =
      ReadReports(read_end, spawned + options.timeout_seconds * 1'000'000'000LL, lines);
  close(read_end);
  if (!ended) {
    kill(pid, SIGKILL);
  }
  int status = 0;
  rusage usage{};
  while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  run.peak_memory = Mebibytes(usage.ru_maxrss);
  run.cpu = Milliseconds((usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1'000'000'000LL +
                         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1'000LL);

  run.error = Interpret(lines, spawned, run);
  if (run.error.empty() && !ended) {
    run.error = "did not end within " + std::to_string(options.timeout_seconds) + " s";
  } else if (run.error.empty() && !(WIFEXITED(status) && WEXITSTATUS(status) == 0)) {
    run.error = "ended with status " + std::to_string(status);
  }
  if (!run.error.empty() && messages >= 0) {
    const std::string text = ReadAll(messages);
    if (!text.empty()) {
      run.error += "\n  its messages:\n" + text;
    }
  }
  if (messages >= 0) {
    close(messages);
  }
  return run;
}

void Record(Program &program, int round, Run run) {
  run.round = round;
  if (!run.error.empty()) {
    ++program.failures;
    if (program.first_error.empty()) {
      program.first_error = run.error;
    }
    return;
  }
  if (program.input_class.empty()) {
    program.input_class = run.input_class;
    program.result_class = run.result_class;
  }
  program.runs.push_back(std::move(run));
}

struct Summary {
  double median = 0;
  double p25 = 0;
  double p75 = 0;
  double min = 0;
  double max = 0;
};

double Quantile(const std::vector<double> &sorted, double q) {
  const double position = q * static_cast<double>(sorted.size() - 1);
  const auto below = static_cast<std::size_t>(position);
  const std::size_t above = std::min(below + 1, sorted.size() - 1);
  const double fraction = position - static_cast<double>(below);
  return sorted[below] + (sorted[above] - sorted[below]) * fraction;
}

Summary Summarise(std::vector<double> values) {
  if (values.empty()) {
    return {};
  }
  std::sort(values.begin(), values.end());
  return {Quantile(values, 0.5), Quantile(values, 0.25), Quantile(values, 0.75), values.front(),
          values.back()};
}

std::vector<double> Values(const std::vector<Run> &runs, double Run::*field) {
  std::vector<double> values;
  for (const Run &run : runs) {
    values.push_back(run.*field);
  }
  return values;
}

// kolvex/bare for each round in which both programs went through: the two ran back to back, so
// the ratio sees little of the machine's drift.
std::vector<double> PairedRatios(const Program &kolvex, const Program &bare, double Run::*field) {
  std::vector<double> ratios;
  for (const Run &ours : kolvex.runs) {
    for (const Run &floor : bare.runs) {
      if (floor.round == ours.round && floor.*field > 0) {
        ratios.push_back(ours.*field / floor.*field);
      }
    }
  }
  return ratios;
}

void PrintMeasure(const char *title, const char *unit, double Run::*field, const Program &kolvex,
                  const Program &bare) {
  const Summary ours = Summarise(Values(kolvex.runs, field));
  const Summary floor = Summarise(Values(bare.runs, field));
  const Summary paired = Summarise(PairedRatios(kolvex, bare, field));
  std::printf("%s\n", title);
  for (const auto &[name, summary] : {std::pair{"kolvex", ours}, std::pair{"bare", floor}}) {
    std::printf("  %-8s %8.1f %-3s  p25-p75 %7.1f - %-7.1f  min-max %7.1f - %.1f\n", name,
                summary.median, unit, summary.p25, summary.p75, summary.min, summary.max);
  }
  std::printf("  %-8s %8.2f      p25-p75 %7.2f - %-7.2f  of medians %.2f  goal 1.10: %s\n", "ratio",
              paired.median, paired.p25, paired.p75,
              floor.median > 0 ? ours.median / floor.median : 0.0,
              paired.median <= 1.10 ? "met" : "over");
}

bool ParseOptions(int argc, char *argv[], Options &options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view name = argv[i];
    if (i + 1 >= argc) {
      return false;
    }
    const char *value = argv[++i];
    if (name == "--runs") {
      options.runs = std::atoi(value);
    } else if (name == "--warmup") {
      options.warmup = std::atoi(value);
    } else if (name == "--timeout") {
      options.timeout_seconds = std::atoi(value);
    } else if (name == "--kolvex") {
      options.kolvex = value;
    } else if (name == "--bare") {
      options.bare = value;
    } else if (name == "--probe") {
      options.probe = value;
    } else {
      return false;
    }
  }
  return options.runs > 0 && options.warmup >= 0 && options.timeout_seconds > 0;
}

} // namespace

int main(int argc, char *argv[]) {
  Options options;
  if (!ParseOptions(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: %s [--runs N] [--warmup N] [--timeout SECONDS] [--kolvex PATH] "
                 "[--bare PATH] [--probe PATH]\n",
                 argv[0]);
    return 2;
  }
  Program kolvex{"kolvex", options.kolvex, {}, {}, {}, {}, 0};
  Program bare{"bare", options.bare, {}, {}, {}, {}, 0};

  double load_before = 0;
  getloadavg(&load_before, 1);
  // Alternating, and swapping which program goes first, spreads drift in the machine's state
  // evenly over both.
  for (int round = 0; round < options.warmup + options.runs; ++round) {
    Program &first = round % 2 == 0 ? kolvex : bare;
    Program &second = round % 2 == 0 ? bare : kolvex;
    Run first_run = RunOnce(first.path, options);
    Run second_run = RunOnce(second.path, options);
    if (round >= options.warmup) {
      Record(first, round, std::move(first_run));
      Record(second, round, std::move(second_run));
    }
  }

  double load[1] = {};
  getloadavg(load, 1);
  const char *platform = std::getenv("QT_QPA_PLATFORM");
  std::printf("kolvex start-up against a bare Qt window\n");
  std::printf("platform %s; %d runs each, alternating, after %d warm-up runs each; load average "
              "%.2f at the start, %.2f at the end\n",
              platform != nullptr && *platform != '\0' ? platform : "(Qt's default)", options.runs,
              options.warmup, load_before, load[0]);
  std::printf("ratio: median of kolvex/bare over the rounds (each round runs both programs back "
              "to back)\n");
  for (const Program *program : {&kolvex, &bare}) {
    std::printf("%-7s %s: %s -> %s, %zu runs measured, %d failed\n", (program->name + ":").c_str(),
                program->path.c_str(), program->input_class.c_str(), program->result_class.c_str(),
                program->runs.size(), program->failures);
    if (!program->first_error.empty()) {
      std::printf("  first failure: %s\n", program->first_error.c_str());
    }
  }
  if (kolvex.runs.empty() || bare.runs.empty()) {
    return 1;
  }
  std::printf("\n");
  PrintMeasure("start -> input window painted", "ms", &Run::start, kolvex, bare);
  PrintMeasure("  of which: loading the libraries", "ms", &Run::loading, kolvex, bare);
  PrintMeasure("  of which: static initialisation, main, QApplication", "ms", &Run::constructing,
               kolvex, bare);
  PrintMeasure("  of which: creating, showing and painting the windows", "ms", &Run::showing,
               kolvex, bare);
  PrintMeasure("press -> result window painted", "ms", &Run::press, kolvex, bare);
  PrintMeasure("processor time of the whole run (user + system)", "ms", &Run::cpu, kolvex, bare);
  PrintMeasure("peak resident memory (wait4)", "MiB", &Run::peak_memory, kolvex, bare);
  PrintMeasure("peak resident memory at the first paint", "MiB", &Run::memory_at_paint, kolvex,
               bare);
  return kolvex.failures + bare.failures == 0 ? 0 : 1;
}
