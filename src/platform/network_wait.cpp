// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/network_wait.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProgressDialog>
#include <QTimer>
#include <chrono>
#include <thread>

namespace durnix {

namespace {

// How long the busy pointer alone is shown before the waiting window appears.
constexpr int kQuietMs = 700;

}  // namespace

bool QtNetworkWait::Wait(const std::function<bool()>& finished) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QElapsedTimer quiet;
  quiet.start();
  // The windows paint, but take no input, while the request may still answer quickly.
  while (!finished() && quiet.elapsed() < kQuietMs) {
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 10);
    std::this_thread::sleep_for(std::chrono::milliseconds(4));
  }
  bool cancelled = false;
  if (!finished()) {
    QProgressDialog waiting("Waiting for the network...", "Cancel", 0, 0, owner_.data());
    waiting.setObjectName("NetworkWait");
    waiting.setWindowTitle("Durnix");
    waiting.setWindowModality(Qt::ApplicationModal);
    waiting.setMinimumDuration(0);
    waiting.setAutoClose(false);
    waiting.setAutoReset(false);
    QEventLoop loop;
    QTimer poll;
    const auto giveUp = [&] {
      cancelled = true;
      loop.quit();
    };
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
      if (finished()) loop.quit();
      if (waiting.wasCanceled()) giveUp();
    });
    // The Cancel button, the close box and Escape.
    QObject::connect(&waiting, &QProgressDialog::canceled, &loop, giveUp);
    QObject::connect(&waiting, &QDialog::rejected, &loop, giveUp);
    poll.start(15);
    waiting.show();
    loop.exec();
    cancelled = cancelled && !finished();
  }
  QApplication::restoreOverrideCursor();
  return cancelled;
}

}  // namespace durnix
