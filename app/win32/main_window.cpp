#include "app/win32/main_window.h"

#include "app/win32/accessible.h"
#include "app/win32/message_box.h"
#include "app/win32/single_station.h"
#include "app/win32/wide.h"

namespace win32ui {

MainWindow::MainWindow(const settings::PortSettingStore& store, cardservice::CardService& card,
                       bool endsProgram)
    : FormWindow(app::forms::MainWindow()),
      store_(store),
      station_(*this, store, card),
      endsProgram_(endsProgram) {
  if (!Create(nullptr)) return;
  // The verdict of 查詢 and the outcome of 讀卡機認證 arrive there while the focus stays on the button.
  MarkLiveRegion(Control("txtMessage"));
  station_.Load();
}

MainWindow::~MainWindow() {
  dialog_.reset();
  Destroy();
}

void MainWindow::Show(int how) {
  if (!hwnd()) return;
  // The process's first ShowWindow takes the shortcut's show command, which is the main window's.
  ShowWindow(hwnd(), how);
  UpdateWindow(hwnd());
  // The dialog that start-up opened waits for the main window: a window manager maps windows in the
  // order they are shown, and would put the main window over it. Shown now, it is above and active.
  if (SettingsDialog* dialog = OpenDialog()) {
    ShowWindow(dialog->hwnd(), SW_SHOW);
    SetForegroundWindow(dialog->hwnd());
  }
}

SettingsDialog* MainWindow::OpenDialog() const {
  return dialog_ && dialog_->hwnd() ? dialog_.get() : nullptr;
}

void MainWindow::SetBoxText(app::Box box, const std::u16string& text) {
  HWND control = Control(app::forms::BoxControl(box));
  SetWindowTextW(control, Wide(text).c_str());
  // Emptied before each workflow, the box has news only when it gets a text.
  if (box == app::Box::Message && !text.empty()) AnnounceChange(control);
}

std::u16string MainWindow::ServiceItemText() const { return WindowText(Control("Combo1")); }

std::u16string MainWindow::CallModeText() const { return WindowText(Control("Combo2")); }

void MainWindow::AppendListItems(const std::vector<std::u16string>& serviceItems,
                                 const std::vector<std::u16string>& callModes) {
  // Adding items selects none: the fields keep showing their initial texts.
  for (const auto& [combo, items] : {std::pair{"Combo1", &serviceItems}, std::pair{"Combo2", &callModes}})
    for (const std::u16string& item : *items)
      SendMessageW(Control(combo), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
}

void MainWindow::ShowMessage(const std::u16string& text) { ShowStationMessage(hwnd(), text); }

void MainWindow::BeginLibraryWork() {
  busy_.Begin(hwnd());
  // The thread blocks in the library next, and paints nothing until it returns: the emptied boxes
  // and the caption are drawn now, without a look at the queue, which holds the user's input. GDI
  // batches what the thread draws; the batch goes to the screen now too.
  RedrawWindow(hwnd(), nullptr, nullptr,
               RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_ERASENOW);
  GdiFlush();
}

void MainWindow::EndLibraryWork() {
  HWND focus = busy_.End();
  if (!focus) return;
  // An inactive window takes its focus back when it is activated again.
  lastFocus_ = focus;
  if (GetActiveWindow() == hwnd()) SetFocus(focus);
}

void MainWindow::SetEnabled(bool enabled) {
  EnableWindow(hwnd(), enabled);
  // Back from the settings dialog the focus goes to btnSetting: first in tab order, and the button
  // that opened the dialog. The window takes it when it is active again.
  if (!enabled) return;
  lastFocus_ = Control("btnSetting");
  if (GetActiveWindow() == hwnd()) SetFocus(lastFocus_);
}

void MainWindow::OpenSettingsDialog() {
  dialog_.reset();
  dialog_ = std::make_unique<SettingsDialog>(store_, *this, hwnd());
}

void MainWindow::SetCaption(const std::u16string& caption) { SetWindowTextW(hwnd(), Wide(caption).c_str()); }

void MainWindow::ResetFonts() {
  for (std::string_view name : app::forms::ResetFontsControls()) ApplyFont(name);
}

void MainWindow::Command(std::string_view control, WORD code) {
  if (code != BN_CLICKED) return;
  if (control == "btnQuery") return station_.ClickQuery();
  if (control == "btnClean") return station_.ClickClean();
  if (control == "btnSetting") return station_.ClickSetting();
  if (control == "btnSAMAuth") return station_.ClickSamAuth();
  if (control == "btnWrite") return station_.ClickWrite();
}

LRESULT MainWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ACTIVATE:
      // The focus leaves with the window and comes back where it was; first to btnSetting.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd(), focus)) lastFocus_ = focus;
      } else if (!HIWORD(wParam)) {
        SetFocus(lastFocus_ && IsWindow(lastFocus_) ? lastFocus_ : Control("btnSetting"));
      }
      return 0;
    case WM_SETCURSOR:
      if (!busy_.busy()) return FormWindow::Handle(message, wParam, lParam);
      SetCursor(BusyWindow::WaitCursor());
      return TRUE;
    case WM_CLOSE:
      // The open settings dialog disables the window, and a disabled window cannot be closed.
      if (!IsWindowEnabled(hwnd())) return 0;
      return FormWindow::Handle(message, wParam, lParam);
    case WM_DESTROY:
      if (endsProgram_) PostQuitMessage(0);
      return 0;
    default:
      if (message == StationClaim::ComeToFrontMessage()) {
        StationClaim::ComeToFront(hwnd());
        return 0;
      }
      return FormWindow::Handle(message, wParam, lParam);
  }
}

}  // namespace win32ui
