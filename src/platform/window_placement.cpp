// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window_placement.h"

#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>

namespace durnix {

namespace {

void moveFrameInside(QWidget* window) {
  const QScreen* screen =
      window->screen() != nullptr ? window->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  const QRect area = screen->availableGeometry();
  const QRect frame = window->frameGeometry();
  // The top left corner wins when the frame is larger than the area: the title bar stays.
  const int x = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
  const int y = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
  if (x != frame.left() || y != frame.top()) window->move(x, y);  // move() places the frame
}

}  // namespace

void KeepFrameOnScreen(QWidget* window) {
  moveFrameInside(window);
  // The frame's size is known only after the window manager framed the window.
  QPointer<QWidget> later(window);
  QTimer::singleShot(150, window, [later] {
    if (later != nullptr && later->isVisible()) moveFrameInside(later);
  });
}

}  // namespace durnix
