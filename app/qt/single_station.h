#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

namespace gui {

// One station per user: the reader takes one program at a time. A second start asks the running
// station to come to the front and ends.
class SingleStation : public QObject {
  Q_OBJECT
 public:
  // `folder` is the user's own: the lock and the socket live there.
  explicit SingleStation(const QString& folder);

  // True when this process is the station. False when another one runs; it has been asked to come
  // to the front.
  bool Claim();

 signals:
  void FrontRequested();

 private:
  void AskTheRunningOne();

  QLockFile lock_;
  QString socket_;
  QLocalServer server_;
};

}  // namespace gui
