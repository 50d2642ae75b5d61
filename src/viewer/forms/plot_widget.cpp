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
  lineWidth_ = std::max(1, lineWidth);
}

void PlotPicture::dots(std::span<const PlotPoint> points, std::int32_t colour) {
  if (image_.isNull() || points.empty()) return;
  QPainter painter(&image_);
  QPen pen(ColourOf(colour));
  pen.setWidth(lineWidth_);
  pen.setCapStyle(lineWidth_ > 1 ? Qt::RoundCap : Qt::SquareCap);
  painter.setPen(pen);
  if (lineWidth_ == 1) {
    // One pixel per dot: set straight into the image.
    const QRgb rgb = ColourOf(colour).rgb();
    const int w = image_.width();
    const int h = image_.height();
    for (const PlotPoint& p : points) {
      const long x = std::lround(toPixels(p.x));
      const long y = std::lround(toPixels(p.y));
      if (x >= 0 && x < w && y >= 0 && y < h) {
        reinterpret_cast<QRgb*>(image_.scanLine(static_cast<int>(y)))[x] = rgb;
      }
    }
    return;
  }
  std::vector<QPointF> pixels;
  pixels.reserve(points.size());
  for (const PlotPoint& p : points) pixels.emplace_back(toPixels(p.x), toPixels(p.y));
  painter.drawPoints(pixels.data(), static_cast<int>(pixels.size()));
}

void PlotPicture::verticalLine(float x, float top, float bottom, std::int32_t colour) {
  if (image_.isNull()) return;
  QPainter painter(&image_);
  QPen pen(ColourOf(colour));
  pen.setWidth(lineWidth_);
  pen.setCapStyle(Qt::FlatCap);
  painter.setPen(pen);
  const double px = std::round(toPixels(x));
  painter.drawLine(QPointF(px, toPixels(bottom)), QPointF(px, toPixels(top)));
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

bool PlotPicture::focusNextPrevChild(bool next) {
  return QWidget::focusNextPrevChild(next);
}

}  // namespace durnix
