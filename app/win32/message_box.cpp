#include "app/win32/message_box.h"

#include "app/win32/wide.h"

namespace win32ui {
namespace {

std::function<void(const std::u16string&)>& Hook() {
  static std::function<void(const std::u16string&)> hook;
  return hook;
}

}  // namespace

void ShowStationMessage(HWND fallback, const std::u16string& text) {
  if (Hook()) return Hook()(text);
  HWND owner = GetActiveWindow();
  MessageBoxW(owner ? owner : fallback, Wide(text).c_str(), L"ZIROZE01", MB_OK);
}

void SetMessageHook(std::function<void(const std::u16string&)> hook) { Hook() = std::move(hook); }

}  // namespace win32ui
