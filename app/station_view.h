#pragma once

#include <string>
#include <vector>

namespace app {

// The six read-only result boxes of the main window.
enum class Box { HospId, SamId, CardId, Asid, Birthday, Message };

// What the station's workflows see of the main window.
class StationView {
 public:
  virtual ~StationView() = default;

  virtual void SetBoxText(Box box, const std::u16string& text) = 0;
  virtual std::u16string ServiceItemText() const = 0;  // Combo1's current text
  virtual std::u16string CallModeText() const = 0;     // Combo2's current text
  virtual void AppendListItems(const std::vector<std::u16string>& serviceItems,
                               const std::vector<std::u16string>& callModes) = 0;
  // A modal box with the text alone and an OK button; returns when the user has closed it.
  virtual void ShowMessage(const std::u16string& text) = 0;
  virtual void SetEnabled(bool enabled) = 0;
  // Opens the settings dialog and returns while it stays open.
  virtual void OpenSettingsDialog() = 0;
  virtual void ResetFonts() = 0;
  // The main window's caption: its described caption, marked when the card library is the simulator
  // and while the card library works.
  virtual void SetCaption(const std::u16string& caption) = 0;

  // A click's work with the card library begins: the window is drawn now, before the first call, so
  // that it shows the emptied boxes and the working caption while the library blocks. Until the work
  // ends the window shows a wait cursor and takes no input, and what the user does to it meanwhile
  // is dropped, never replayed. Message boxes shown meanwhile still take their input.
  virtual void BeginLibraryWork() = 0;
  // The work has ended: input made meanwhile is discarded, then the window takes input again with
  // the keyboard focus where it was.
  virtual void EndLibraryWork() = 0;
};

}  // namespace app
