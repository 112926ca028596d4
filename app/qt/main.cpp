#include <QApplication>
#include <QStandardPaths>

#include <cmath>

#include "app/qt/VANTOQFrm01.h"
#include "app/qt/qt_translation.h"
#include "app/qt/single_station.h"
#include "cardservice/card_library.h"
#include "settings/port_setting.h"
#include "settings/program_directory.h"

namespace {

// Scaled by 1.25 or 1.5, Qt leaves controls on half pixels and cuts their borders. Qt scales by
// whole factors only; the rest becomes the screen's dots per inch, at which the windows lay
// themselves out in whole pixels.
void ScaleByWholeFactors() {
  QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Floor);
  bool isNumber = false;
  const double factor = qEnvironmentVariable("QT_SCALE_FACTOR").toDouble(&isNumber);
  if (!isNumber || factor <= 0 || factor == std::floor(factor) || qEnvironmentVariableIsSet("QT_FONT_DPI"))
    return;
  const double whole = std::max(1.0, std::floor(factor));
  qputenv("QT_SCALE_FACTOR", QByteArray::number(whole));
  qputenv("QT_FONT_DPI", QByteArray::number(std::lround(96 * factor / whole)));
}

}  // namespace

int main(int argc, char* argv[]) {
  ScaleByWholeFactors();
  QApplication application(argc, argv);
  QApplication::setApplicationName(QStringLiteral("ZIROZE01"));
  gui::SingleStation single(QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation));
  if (!single.Claim()) return 0;
  gui::InstallQtTranslation(QLocale::system());

  const std::filesystem::path directory = settings::ProgramDirectory();
  const settings::PortSettingStore store(directory);
  cardservice::CardLibrary library(settings::FileBeside(directory, cardservice::CardLibrary::FileName()));

  gui::VANTOQFrm01 window(store, library);
  QObject::connect(&single, &gui::SingleStation::FrontRequested, &window, &gui::VANTOQFrm01::BringToFront);
  window.show();
  return application.exec();
}
