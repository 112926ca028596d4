#pragma once

#include <cstdint>
#include <string_view>

#include "app/station_view.h"
#include "cardservice/card_service.h"
#include "settings/port_setting.h"

namespace app {

// The main window's behaviour: its start-up and the work of its five buttons. Every click is one
// self-contained transaction; nothing is kept from one click to the next. A click that reaches the
// station while another click's work still runs (through a message loop inside a library call or a
// message box) starts nothing.
class Station {
 public:
  Station(StationView& view, const settings::PortSettingStore& store, cardservice::CardService& card);

  void Load();
  void ClickClean();
  void ClickSetting();
  void ClickQuery();
  void ClickSamAuth();
  void ClickWrite();

  // The port argument for csOpenCom: the stored port number minus one, or 0 after a warning when
  // nothing usable is stored.
  std::int16_t GetComSetting();
  // Shows the catalogue's message for a listed status code; does nothing for any other code.
  void ProcessErrorCode(std::int16_t iErrCode);

 private:
  void ClearFields();
  void Show(Box box, std::u16string_view text);
  // Opens the port, runs `body` when it opened, and closes the port exactly once on every path.
  template <typename Body>
  void WithPort(std::int16_t port, Body body);
  void QueryOnOpenPort();
  std::u16string Caption() const;

  class Workflow;
  class LibraryWork;

  StationView& view_;
  const settings::PortSettingStore& store_;
  cardservice::CardService& card_;
  bool running_ = false;  // while a button's work runs
  bool simulator_ = false;
};

}  // namespace app
