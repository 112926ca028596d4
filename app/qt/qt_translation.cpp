#include "app/qt/qt_translation.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace gui {

bool InstallQtTranslation(const QLocale& desk) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  auto* translator = new QTranslator(QCoreApplication::instance());
  if (translator->load(desk, QStringLiteral("qtbase"), QStringLiteral("_"), folder) ||
      translator->load(QLocale(QLocale::Chinese, QLocale::TraditionalChineseScript, QLocale::Taiwan),
                       QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
    return QCoreApplication::installTranslator(translator);
  }
  delete translator;
  return false;
}

}  // namespace gui
