#pragma once

#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fuzz_support {

// An input in `count` parts: the last `count - 1` NUL bytes end the parts before them, so that a
// whole settings file, NULs included, can be the first part. The parts an input lacks are absent.
inline std::vector<std::optional<std::string>> Parts(const std::uint8_t* data, std::size_t size,
                                                     std::size_t count) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::vector<std::optional<std::string>> parts(count);
  std::size_t found = 0;
  for (std::size_t at = rest.size(); found + 1 < count && at > 0; --at) {
    if (rest[at - 1] != '\0') continue;
    ++found;
    parts[count - found] = std::string(rest.substr(at));
    rest = rest.substr(0, at - 1);
  }
  // With fewer separators the parts found so far move up behind the first one.
  std::vector<std::optional<std::string>> ordered(count);
  ordered[0] = std::string(rest);
  for (std::size_t i = 0; i < found; ++i) ordered[1 + i] = parts[count - found + i];
  return ordered;
}

// A directory of this process's own for the files a fuzzer writes, in TMPDIR when it is set, else
// in memory rather than on disk where there is one, since every write syncs its file. libFuzzer
// ends a run without the exit handlers that would remove it, so scripts/fuzz sets TMPDIR to a
// directory it removes.
inline const std::filesystem::path& WorkDir() {
  static const std::filesystem::path dir = [] {
    std::error_code error;
    const std::filesystem::path parent =
        !std::getenv("TMPDIR") && std::filesystem::is_directory("/dev/shm", error)
            ? std::filesystem::path("/dev/shm")
            : std::filesystem::temp_directory_path();
    std::string name = (parent / "ziroze-fuzz-XXXXXX").string();
    if (!mkdtemp(name.data())) std::abort();
    std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(WorkDir(), ignored);
    });
    return std::filesystem::path(name);
  }();
  return dir;
}

inline void WriteFile(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
}

inline std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// How much of a file a reader takes at a time: small, so that line breaks fall at every edge of a
// piece, but not so small that a large input takes a read for each byte.
inline std::size_t Piece(std::size_t size) { return size < 1024 ? 1 + size % 5 : 1 + size % 97; }

// Stops the run on a broken invariant, so that libFuzzer keeps the input that broke it.
inline void Require(bool holds, const char* invariant) {
  if (holds) return;
  std::fprintf(stderr, "broken invariant: %s\n", invariant);
  std::abort();
}

}  // namespace fuzz_support
