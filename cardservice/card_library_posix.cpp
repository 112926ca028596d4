// The card library on Linux and the like: dlopen, dlerror's text, and the simulator told by the
// mark it exports (libraries there carry no version resource).

#include <dlfcn.h>

#include <string_view>

#include "cardservice/card_library.h"
#include "cardservice/library_loader.h"
#include "cardservice/simulator_mark.h"
#include "text/utf8.h"

namespace cardservice {

void RestrictLibrarySearch() {
  // dlopen of an absolute path searches nothing; the library's own needs follow its RUNPATH.
}

const char* CardLibrary::FileName() { return "libVANTOCSAPI.so"; }

const char* CardLibrary::ReaderFileName() { return "libReader.so"; }

bool CardLibrary::IsSimulator() {
  LoadFailure reportedLater;
  return Load(reportedLater) && loader::Find(handle_, ZIROZE_SIMULATOR_MARK_NAME);
}

namespace loader {

void* Load(const std::filesystem::path& file, LoadFailure& failure) {
  void* library = dlopen(file.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (library) return library;
  const char* error = dlerror();
  const std::string_view text = error ? error : "";
  failure.systemText = text::FromUtf8(text);
  // "<file>: cannot open shared object file: ..." names the file that is missing: the library
  // itself, or one that it needs.
  std::error_code unknown;
  failure.neededLibraryMissing = std::filesystem::exists(file, unknown) &&
                                 text.find("cannot open shared object file") != std::string_view::npos &&
                                 !text.starts_with(file.native());
  return nullptr;
}

void* Find(void* library, const char* name) { return dlsym(library, name); }

}  // namespace loader
}  // namespace cardservice
