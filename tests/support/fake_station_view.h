#pragma once

#include <map>
#include <string>
#include <vector>

#include "app/station_view.h"
#include "tests/support/temp_dir.h"

namespace testing_support {

// The main window as the workflows see it. Messages go into the shared event list, where their
// place among the library calls shows.
class FakeStationView : public app::StationView {
 public:
  explicit FakeStationView(std::vector<std::string>& events) : events_(events) {}

  std::map<app::Box, std::u16string> boxes;
  std::u16string serviceItem = u"請選擇";
  std::u16string callMode = u"有對話框";
  std::vector<std::u16string> serviceItems, callModes;
  std::vector<std::u16string> messages;
  bool enabled = true;
  int dialogsOpened = 0;
  int fontResets = 0;
  std::u16string caption;
  // Where each stretch of library work began and ended in the event list; `end` stays npos while
  // the work runs.
  struct Span {
    size_t begin = 0;
    size_t end = std::string::npos;
  };
  std::vector<Span> libraryWork;
  bool Busy() const { return !libraryWork.empty() && libraryWork.back().end == std::string::npos; }

  std::u16string Box(app::Box box) const {
    const auto found = boxes.find(box);
    return found == boxes.end() ? u"" : found->second;
  }
  bool AllBoxesEmpty() const {
    for (const auto& [box, text] : boxes)
      if (!text.empty()) return false;
    return true;
  }

  void SetBoxText(app::Box box, const std::u16string& text) override { boxes[box] = text; }
  std::u16string ServiceItemText() const override { return serviceItem; }
  std::u16string CallModeText() const override { return callMode; }
  void AppendListItems(const std::vector<std::u16string>& items1,
                       const std::vector<std::u16string>& items2) override {
    serviceItems.insert(serviceItems.end(), items1.begin(), items1.end());
    callModes.insert(callModes.end(), items2.begin(), items2.end());
  }
  void ShowMessage(const std::u16string& text) override {
    messages.push_back(text);
    events_.push_back("message " + U8(text));
  }
  void SetEnabled(bool value) override { enabled = value; }
  void OpenSettingsDialog() override {
    ++dialogsOpened;
    events_.push_back("open dialog");
  }
  void ResetFonts() override { ++fontResets; }
  void SetCaption(const std::u16string& text) override { caption = text; }
  void BeginLibraryWork() override { libraryWork.push_back({events_.size()}); }
  void EndLibraryWork() override { libraryWork.back().end = events_.size(); }

 private:
  std::vector<std::string>& events_;
};

}  // namespace testing_support
