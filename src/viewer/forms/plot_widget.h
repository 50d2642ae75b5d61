// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// PicSpec: the viewer's picture box. Drawing goes into a backing image (points, vertical lines,
// the background), in twips with the origin at the top-left corner; the widget shows the image.
// Mouse and key events come out in the same units.

#include <QImage>
#include <QPainter>
#include <QWidget>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "viewer/plot.h"

namespace durnix {

// A 24-bit colour with red in the low byte, as the program stores colours.
QColor ColourOf(std::int32_t colour);

// The pixels of a vertical line of the picture at x from y `top` down to y `bottom` (twips): at
// least `lineWidth` pixels wide, and as wide as `channelWidth` (twips) from x when that is wider,
// so that a region has no gaps. Not clipped to the picture.
QRect VerticalLinePixels(float x, float top, float bottom, int lineWidth, float channelWidth);

class PlotPicture : public QWidget {
  Q_OBJECT

 public:
  explicit PlotPicture(QWidget* parent);

  // The inner size in twips.
  float innerWidth() const;
  float innerHeight() const;

  // Clears the picture to `background` and sets the line width (pixels) of what follows.
  void clear(std::int32_t background, int lineWidth);
  // Dots at the given points, in `colour`.
  void dots(std::span<const PlotPoint> points, std::int32_t colour);
  // A vertical line at x from y `bottom` up to y `top`, in `colour`, at least as wide as the
  // line width, and as `channelWidth` (twips) from x when that is wider.
  void verticalLine(float x, float top, float bottom, std::int32_t colour, float channelWidth = 0);
  // Paints over what was drawn with `paint`, in the picture's pixels (labels and markers).
  template <class Paint>
  void overlay(Paint paint) {
    if (image_.isNull()) return;
    QPainter painter(&image_);
    paint(painter);
  }
  // Shows what was drawn.
  void present() { update(); }

  const QImage& image() const { return image_; }

 signals:
  void mousePressed(float x, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void mouseMoved(float x, Qt::MouseButtons buttons);
  void mouseReleased(float x, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void doubleClicked();
  void keyPressed(int key, Qt::KeyboardModifiers modifiers);
  void resized();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  float toTwips(double pixels) const;
  double toPixels(float twips) const;

  QImage image_;
  int lineWidth_ = 1;
  std::vector<std::pair<int, int>> disc_;  // the pixels of one dot
};

}  // namespace durnix
