// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/forms/plot_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <cmath>
#include <vector>

#include "platform/twips.h"

namespace durnix {

QColor ColourOf(std::int32_t colour) {
  return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

PlotPicture::PlotPicture(QWidget* parent) : QWidget(parent) {
  setObjectName("PicSpec");
  setCursor(Qt::CrossCursor);
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

float PlotPicture::toTwips(double pixels) const {
  return static_cast<float>(pixels * 1440.0 / LogicalDpi());
}

double PlotPicture::toPixels(float twips) const {
  return twips * LogicalDpi() / 1440.0;
}

float PlotPicture::innerWidth() const {
  return toTwips(width());
}

float PlotPicture::innerHeight() const {
  return toTwips(height());
}

void PlotPicture::clear(std::int32_t background, int lineWidth) {
  if (image_.size() != size()) image_ = QImage(size(), QImage::Format_RGB32);
  image_.fill(ColourOf(background));
  if (std::max(1, lineWidth) != lineWidth_ || disc_.empty()) {
    lineWidth_ = std::max(1, lineWidth);
    // The pixels of a disc of that diameter around its centre.
    disc_.clear();
    const int radius = lineWidth_ / 2;
    const double r = lineWidth_ / 2.0;
    for (int dy = -radius; dy < lineWidth_ - radius; ++dy) {
      for (int dx = -radius; dx < lineWidth_ - radius; ++dx) {
        const double fx = dx + 0.5 - (lineWidth_ % 2 == 1 ? 0.5 : 0.0);
        const double fy = dy + 0.5 - (lineWidth_ % 2 == 1 ? 0.5 : 0.0);
        if (lineWidth_ <= 2 || fx * fx + fy * fy <= r * r) disc_.emplace_back(dx, dy);
      }
    }
  }
}

// Dots and lines are set straight into the image: a dot is a disc of the line width, a line a
// column of that width, as the picture box draws them.
void PlotPicture::dots(std::span<const PlotPoint> points, std::int32_t colour) {
  if (image_.isNull() || points.empty()) return;
  const QRgb rgb = ColourOf(colour).rgb();
  const int w = image_.width();
  const int h = image_.height();
  const int radius = lineWidth_ / 2;
  const int reach = lineWidth_ - 1 - radius;
  for (const PlotPoint& p : points) {
    const long cx = std::lround(toPixels(p.x));
    const long cy = std::lround(toPixels(p.y));
    if (cx + reach < 0 || cx - radius >= w || cy + reach < 0 || cy - radius >= h) continue;
    for (const auto& [dx, dy] : disc_) {
      const long x = cx + dx;
      const long y = cy + dy;
      if (x >= 0 && x < w && y >= 0 && y < h) {
        reinterpret_cast<QRgb*>(image_.scanLine(static_cast<int>(y)))[x] = rgb;
      }
    }
  }
}

QRect VerticalLinePixels(float x, float top, float bottom, int lineWidth, float channelWidth) {
  auto pixels = [](float twips) { return twips * LogicalDpi() / 1440.0; };
  lineWidth = std::max(1, lineWidth);
  const long cx = std::lround(pixels(x));
  const long width = std::max<long>(lineWidth, static_cast<long>(std::ceil(pixels(channelWidth))));
  const long left = width > lineWidth ? cx : cx - lineWidth / 2;
  const long y0 = std::lround(pixels(top));
  const long y1 = std::lround(pixels(bottom));
  return QRect(QPoint(static_cast<int>(left), static_cast<int>(y0)),
               QPoint(static_cast<int>(left + width - 1), static_cast<int>(y1)));
}

void PlotPicture::verticalLine(float x, float top, float bottom, std::int32_t colour,
                               float channelWidth) {
  if (image_.isNull()) return;
  const QRgb rgb = ColourOf(colour).rgb();
  const QRect pixels = VerticalLinePixels(x, top, bottom, lineWidth_, channelWidth) & image_.rect();
  for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
    QRgb* line = reinterpret_cast<QRgb*>(image_.scanLine(y));
    for (int px = pixels.left(); px <= pixels.right(); ++px) line[px] = rgb;
  }
}

void PlotPicture::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (image_.isNull()) {
    painter.fillRect(rect(), palette().window());
    return;
  }
  painter.drawImage(0, 0, image_);
}

void PlotPicture::resizeEvent(QResizeEvent*) {
  emit resized();
}

void PlotPicture::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  emit mousePressed(toTwips(event->position().x()), event->button(), event->modifiers());
}

void PlotPicture::mouseMoveEvent(QMouseEvent* event) {
  emit mouseMoved(toTwips(event->position().x()), event->buttons());
}

void PlotPicture::mouseReleaseEvent(QMouseEvent* event) {
  emit mouseReleased(toTwips(event->position().x()), event->button(), event->modifiers());
}

void PlotPicture::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) emit doubleClicked();
}

void PlotPicture::keyPressEvent(QKeyEvent* event) {
  emit keyPressed(event->key(), event->modifiers());
}

}  // namespace durnix
