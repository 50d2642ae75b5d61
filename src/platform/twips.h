// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Sizes and positions as the windows are designed, in twips (1/1440 inch), turned into pixels at
// the screen's logical DPI.

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <cmath>

namespace durnix {

inline double LogicalDpi() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
}

inline int Twips(double twips) {
  return static_cast<int>(std::lround(twips * LogicalDpi() / 1440.0));
}

inline QRect TwipsRect(double left, double top, double width, double height) {
  return QRect(Twips(left), Twips(top), Twips(width), Twips(height));
}

inline double PixelsToTwips(int pixels) {
  return pixels * 1440.0 / LogicalDpi();
}

}  // namespace durnix
