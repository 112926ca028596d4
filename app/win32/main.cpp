#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include <exception>

#include "app/win32/main_window.h"
#include "app/win32/single_station.h"
#include "cardservice/card_library.h"
#include "settings/port_setting.h"
#include "settings/program_directory.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
  // Before anything loads a DLL: none may come from the current directory or a download folder.
  cardservice::RestrictLibrarySearch();
  // Before the card library is loaded: a second station would open the same reader.
  const win32ui::StationClaim claim;
  if (!claim.first()) {
    win32ui::StationClaim::BringRunningToFront();
    return 0;
  }
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  int code = 1;
  try {
    const std::filesystem::path directory = settings::ProgramDirectory();
    const settings::PortSettingStore store(directory);
    cardservice::CardLibrary library(settings::FileBeside(directory, cardservice::CardLibrary::FileName()));
    win32ui::MainWindow window(store, library, true);
    if (window.hwnd()) {
      win32ui::StationClaim::MarkMainWindow(window.hwnd());
      window.Show(show);
      code = win32ui::RunMessageLoop();
    } else {
      MessageBoxW(nullptr, L"無法建立視窗", L"ZIROZE01", MB_OK);
    }
  } catch (const std::exception&) {
    MessageBoxW(nullptr, L"程式發生錯誤", L"ZIROZE01", MB_OK);
  }
  if (SUCCEEDED(com)) CoUninitialize();
  return code;
}
