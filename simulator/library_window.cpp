#include "simulator/library_window.h"

#ifdef _WIN32
#include <windows.h>
#elif defined(ZIROZE_SIMULATOR_QT)
#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#endif

namespace simulator {

#ifdef _WIN32

void ShowLibraryWindow(const std::u16string& text) {
  const std::wstring wide(text.begin(), text.end());
  // Without an owner no window of the program is disabled while the box is open.
  MessageBoxW(nullptr, wide.c_str(), L"VANTOCSAPI", MB_OK | MB_SETFOREGROUND);
}

#elif defined(ZIROZE_SIMULATOR_QT)

void ShowLibraryWindow(const std::u16string& text) {
  if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  QMessageBox box(QMessageBox::NoIcon, QStringLiteral("VANTOCSAPI"), QString::fromStdU16String(text),
                  QMessageBox::Ok);
  box.setObjectName(QStringLiteral("VANTOCSAPI"));
  // Modal to nothing: the program's windows take what input they take while the box is open.
  box.setWindowModality(Qt::NonModal);
  QEventLoop loop;
  QObject::connect(&box, &QMessageBox::finished, &loop, &QEventLoop::quit);
  box.show();
  loop.exec();
}

#else

void ShowLibraryWindow(const std::u16string&) {}

#endif

}  // namespace simulator
