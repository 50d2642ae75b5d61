// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/network_wait.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <condition_variable>
#include <mutex>

namespace durnix {

namespace {

// How long the busy pointer alone is shown before the waiting window appears.
constexpr int kQuietMs = 700;

// A thread without windows waits for the client's word.
void waitOffTheWindows(PendingRequest& request) {
  std::mutex mutex;
  std::condition_variable woken;
  bool over = false;
  request.whenFinished([&] {
    std::lock_guard lock(mutex);
    over = true;
    woken.notify_all();
  });
  std::unique_lock lock(mutex);
  woken.wait(lock, [&] { return over; });
}

}  // namespace

bool QtNetworkWait::Wait(PendingRequest& request) {
  if (QThread::currentThread() != QCoreApplication::instance()->thread()) {
    waitOffTheWindows(request);
    return false;
  }
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QEventLoop loop;
  // The client's thread ends the loop; the loop object outlives every wake, which is taken back
  // before it goes.
  request.whenFinished(
      [&loop] { QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection); });
  // The windows paint, but take no input, while the request may still answer quickly.
  QTimer quiet;
  quiet.setSingleShot(true);
  QObject::connect(&quiet, &QTimer::timeout, &loop, &QEventLoop::quit);
  quiet.start(kQuietMs);
  if (!request.finished()) loop.exec(QEventLoop::ExcludeUserInputEvents);
  quiet.stop();
  bool cancelled = false;
  if (!request.finished()) {
    QProgressDialog waiting("Waiting for the network...", "Cancel", 0, 0, owner_.data());
    waiting.setObjectName("NetworkWait");
    waiting.setWindowTitle("Durnix");
    waiting.setWindowModality(Qt::ApplicationModal);
    waiting.setMinimumDuration(0);
    waiting.setAutoClose(false);
    waiting.setAutoReset(false);
    const auto giveUp = [&] {
      cancelled = true;
      loop.quit();
    };
    // The Cancel button, the close box and Escape.
    QObject::connect(&waiting, &QProgressDialog::canceled, &loop, giveUp);
    QObject::connect(&waiting, &QDialog::rejected, &loop, giveUp);
    waiting.show();
    while (!request.finished() && !cancelled) loop.exec();
    cancelled = cancelled && !request.finished();
  }
  request.whenFinished(nullptr);
  QApplication::restoreOverrideCursor();
  return cancelled;
}

}  // namespace durnix
