#include "app/library_failure_text.h"

#include "app/messages.h"
#include "cardservice/card_library.h"
#include "settings/program_directory.h"

namespace app {
namespace {

using cardservice::LoadFailure;
using cardservice::Machine;

std::u16string Ascii(std::string_view text) { return std::u16string(text.begin(), text.end()); }

std::u16string Text(std::u16string_view text) { return std::u16string(text); }

// What to do, where the file and the system tell enough; empty otherwise.
std::u16string Advice(const LoadFailure& failure) {
  const std::u16string name = Ascii(cardservice::CardLibrary::FileName());
  const std::u16string folder = settings::DisplayPath(failure.file.parent_path());
  if (!failure.fileExists) return Text(kPutVendorLibrary) + name + Text(kIntoProgramFolder) + folder;
#ifdef _WIN32
  // The file's headers speak only where Windows refused its format (ERROR_BAD_EXE_FORMAT): a file
  // that could not be read at all is no proof of a wrong one.
  constexpr std::uint32_t kBadExeFormat = 193;
  const bool wrongFormat = failure.systemError == kBadExeFormat;
#else
  const bool wrongFormat = true;
#endif
  if (wrongFormat && failure.machine == Machine::None) return Text(kNotALibrary) + name + u"。";
  const Machine program = cardservice::ProgramMachine();
  if (wrongFormat && failure.machine != program) {
#ifdef _WIN32
    // The one case for the other package: a library of the other bitness of Windows on a PC.
    if (program == Machine::X64 && failure.machine == Machine::X86) return Text(kTake32BitPackage);
    if (program == Machine::X86 && failure.machine == Machine::X64) return Text(kTake64BitPackage);
#endif
    return Text(kOtherProcessor) + name + u"。";
  }
  if (failure.neededLibraryMissing) {
    const std::u16string reader = Ascii(cardservice::CardLibrary::ReaderFileName());
    if (failure.readerBeside) return Text(kReaderDriver) + reader + Text(kReaderPresentBeside);
    return Text(kReaderDriver) + reader + Text(kReaderMissingBeside) + folder;
  }
  return {};
}

}  // namespace

std::u16string UnavailableText(const cardservice::CardServiceUnavailable& unavailable) {
  const auto& failure = unavailable.loadFailure();
  if (!failure) return Text(kMissingOperation) + Ascii(unavailable.missingOperation());
  std::u16string message = Text(kCannotLoadLibrary) + settings::DisplayPath(failure->file) + u"\n";
  message += failure->systemText.empty() ? Text(kSystemErrorWithoutText) : failure->systemText;
  if (failure->systemError != 0)
    message += u"（" + Text(kSystemErrorNumber) + DecimalText(failure->systemError) + u"）";
  if (const std::u16string advice = Advice(*failure); !advice.empty()) message += u"\n" + advice;
  return message;
}

}  // namespace app
