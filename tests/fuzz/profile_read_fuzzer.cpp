// The settings reader on any file, section and key: a file, then optionally a NUL and a section,
// and a NUL and a key.

#include "settings/profile_file.h"
#include "tests/fuzz/fuzz_support.h"

namespace {

const std::string kPortSection = "\xc5\xaa\xa5\x64\xbe\xf7\xb3\x73\xb1\xb5\xb0\xf0";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using fuzz_support::Require;
  const auto parts = fuzz_support::Parts(data, size, 3);
  const std::string section = parts[1].value_or(kPortSection);
  const std::string key = parts[2].value_or("COM");
  const auto file = fuzz_support::WorkDir() / "read.ini";
  fuzz_support::WriteFile(file, *parts[0]);

  // Capacities around a double-byte character's edge as well as the station's own.
  const std::uint32_t capacity = size % 3 == 0 ? 256 : 1 + static_cast<std::uint32_t>(size % 11);
  const settings::ProfileReading reading = settings::ReadProfileFile(section, key, "dflt  ", capacity, file);
  Require(reading.result < capacity, "the result leaves room for the NUL");
  Require(reading.value.find('\0') == std::string::npos, "the value ends at its NUL");
  Require(reading.value.size() == reading.result ||
              (reading.value.size() + 1 == reading.result && reading.result == capacity - 1),
          "the result counts the bytes copied, or says the buffer is full");

  // Where the pieces of the file end must make no difference.
  const std::size_t piece = fuzz_support::Piece(size);
  const settings::ProfileReading inPieces =
      settings::ReadProfileFile(section, key, "dflt  ", capacity, file, piece);
  Require(inPieces.result == reading.result && inPieces.value == reading.value,
          "a read in small pieces reads the same");
  Require(fuzz_support::ReadFile(file) == *parts[0], "a read leaves the file alone");
  return 0;
}
