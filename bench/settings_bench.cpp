// Times start-up's read of the port setting and the dialog's write on a small settings file and on
// one of about 100 MB with the port's section at its end, against `wc -l` of the large file: every
// line has to be looked at, so counting them is the floor. Each measured step runs in a child
// process of its own, so that its peak memory can be told apart.

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
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "settings/port_setting.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

const std::string kPortSection = "\xc5\xaa\xa5\x64\xbe\xf7\xb3\x73\xb1\xb5\xb0\xf0";

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Run {
  double ms = 0;
  long peakKiB = 0;
};

// Runs `work` in a child process; its time as the child measures it and the child's peak memory.
Run InChild(const std::function<void()>& work) {
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) std::exit(2);
  const pid_t child = fork();
  if (child == 0) {
    close(pipeEnds[0]);
    const auto start = Clock::now();
    work();
    const double ms = Milliseconds(Clock::now() - start);
    if (write(pipeEnds[1], &ms, sizeof ms) != sizeof ms) _exit(3);
    _exit(0);
  }
  close(pipeEnds[1]);
  Run run;
  if (read(pipeEnds[0], &run.ms, sizeof run.ms) != sizeof run.ms) run.ms = -1;
  close(pipeEnds[0]);
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  run.peakKiB = usage.ru_maxrss;
  return run;
}

// The fastest of `times` runs, and the largest peak.
Run Best(int times, const std::function<void()>& work) {
  Run best{1e300, 0};
  for (int i = 0; i < times; ++i) {
    const Run run = InChild(work);
    best.ms = std::min(best.ms, run.ms);
    best.peakKiB = std::max(best.peakKiB, run.peakKiB);
  }
  return best;
}

double WcLines(const fs::path& file, int times) {
  double best = 1e300;
  for (int i = 0; i < times; ++i) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    std::string program = "wc", option = "-l", path = file.string();
    char* argv[] = {program.data(), option.data(), path.data(), nullptr};
    const auto start = Clock::now();
    pid_t child = 0;
    if (posix_spawnp(&child, "wc", &actions, nullptr, argv, environ) != 0) std::exit(2);
    int status = 0;
    waitpid(child, &status, 0);
    best = std::min(best, Milliseconds(Clock::now() - start));
    posix_spawn_file_actions_destroy(&actions);
  }
  return best;
}

// About `bytes` bytes of short key lines in sections of `sectionLines` lines each, then the port's
// section.
size_t MakeLargeFile(const fs::path& file, size_t bytes, int sectionLines) {
  std::ofstream out(file, std::ios::binary);
  std::string block;
  size_t lines = 0;
  for (int section = 0; block.size() < (1u << 20); ++section) {
    block += "[S" + std::to_string(section % 10) + "]\r\n";
    for (int i = 1; i < sectionLines; ++i) block += i % 2 ? "k=1\r\n" : "k=1\n";
    lines += static_cast<size_t>(sectionLines);
  }
  const size_t blocks = bytes / block.size();
  for (size_t i = 0; i < blocks; ++i) out << block;
  out << "[" << kPortSection << "]\r\nCOM=3\r\n";
  return blocks * lines + 2;
}

}  // namespace

int main(int argc, char** argv) {
  const int times = argc > 1 ? std::atoi(argv[1]) : 5;
  std::random_device random;
  const fs::path root = fs::temp_directory_path() / ("ziroze-bench-" + std::to_string(random()));
  const fs::path small = root / "small", large = root / "large";
  fs::create_directories(small);
  fs::create_directories(large);
  std::ofstream(small / "VANTOQuery.ini", std::ios::binary) << "[" << kPortSection << "]\r\nCOM=3\r\n";
  const size_t lines = MakeLargeFile(large / "VANTOQuery.ini", 100'000'000, 1000);
  const auto size = fs::file_size(large / "VANTOQuery.ini");

  const settings::PortSettingStore smallStore(small), largeStore(large);
  auto read = [](const settings::PortSettingStore& store) {
    return [&store] {
      if (store.Read().value != u"3") _exit(4);
    };
  };
  // Each write changes the value, so that it is never left out as needless.
  int value = 4;
  auto write = [&value](const settings::PortSettingStore& store) {
    ++value;
    return [&store, v = value] {
      const std::string digits = std::to_string(v);
      if (!store.Write(std::u16string(digits.begin(), digits.end()))) _exit(5);
    };
  };

  WcLines(large / "VANTOQuery.ini", 1);  // into the page cache
  const double wc = WcLines(large / "VANTOQuery.ini", times);
  const Run nothing = Best(times, [] {});
  const Run smallRead = Best(times, read(smallStore));
  const Run largeRead = Best(times, read(largeStore));
  const Run smallWrite = Best(1, write(smallStore));
  const Run largeWrite = Best(1, write(largeStore));
  // The hardest case for the reader: every other line a section's header.
  MakeLargeFile(large / "VANTOQuery.ini", 100'000'000, 2);
  const double headersWc = WcLines(large / "VANTOQuery.ini", times);
  const Run headersRead = Best(times, read(largeStore));
  fs::remove_all(root);

  const double extra = largeRead.ms - smallRead.ms;
  const double growthMiB = (largeRead.peakKiB - smallRead.peakKiB) / 1024.0;
  const double fileMiB = size / 1048576.0;
  std::printf("large file: %.1f MiB, %zu lines; best of %d runs\n", fileMiB, lines, times);
  std::printf("wc -l, large file:        %9.1f ms\n", wc);
  std::printf("start-up read, small:     %9.3f ms  peak %7.1f MiB (empty child %.1f MiB)\n", smallRead.ms,
              smallRead.peakKiB / 1024.0, nothing.peakKiB / 1024.0);
  std::printf("start-up read, large:     %9.1f ms  peak %7.1f MiB\n", largeRead.ms,
              largeRead.peakKiB / 1024.0);
  std::printf("write, small:             %9.3f ms  peak %7.1f MiB\n", smallWrite.ms,
              smallWrite.peakKiB / 1024.0);
  std::printf("write, large:             %9.1f ms  peak %7.1f MiB\n", largeWrite.ms,
              largeWrite.peakKiB / 1024.0);
  std::printf("every other line a header: wc -l %.1f ms, start-up read %.1f ms, peak %.1f MiB\n", headersWc,
              headersRead.ms, headersRead.peakKiB / 1024.0);
  std::printf("start-up costs %.1f ms more with the large file: %.2f x wc -l (goal: at most 3)\n", extra,
              extra / wc);
  std::printf("peak memory grows by %.1f MiB: %.2f x the file's size (goal: less than 2)\n", growthMiB,
              growthMiB / fileMiB);
  return extra <= 3 * wc && growthMiB < 2 * fileMiB ? 0 : 1;
}
