#include <QApplication>

#include "app/qt/VANTOQFrm01.h"
#include "cardservice/card_library.h"
#include "settings/port_setting.h"
#include "settings/program_directory.h"

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ZIROZE01"));

  const std::filesystem::path directory = settings::ProgramDirectory();
  const settings::PortSettingStore store(directory);
  cardservice::CardLibrary library(settings::FileBeside(directory, cardservice::CardLibrary::FileName()));

  gui::VANTOQFrm01 window(store, library);
  window.show();
  return application.exec();
}
