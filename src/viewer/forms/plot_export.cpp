// SPDX-License-Identifier: GPL-3.0-or-later
// FrmView: the plot with its axis labels and tick marks as a picture of its own, PNG or SVG, at
// the size the window shows it.

#include <QBuffer>
#include <QByteArray>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <cmath>
#include <string_view>

#include "platform/paths.h"
#include "platform/twips.h"
#include "viewer/forms/frm_view.h"
#include "viewer/forms/plot_widget.h"

namespace durnix {

// The part of the window that the picture covers: the plot with its labels around it.
QRect FrmView::pictureFrame() const {
  const QRect picture = PicSpec_->geometry();
  const int above = Twips(450);
  const int below = Twips(400);
  return QRect(0, picture.top() - above, picture.right() + Twips(600),
               picture.height() + above + below);
}

// Paints what the window shows of the plot, in the client's pixels moved by `origin`.
void FrmView::paintPicture(QPainter& painter, QPoint origin) const {
  painter.translate(-origin);
  painter.fillRect(pictureFrame(), palette().window());
  const QRect picture = PicSpec_->geometry();
  painter.fillRect(picture, ColourOf(BackColour_));
  const double scale = LogicalDpi() / 1440.0;
  auto toPixel = [&](const PlotPoint& p) {
    return QPointF(picture.left() + p.x * scale, picture.top() + p.y * scale);
  };
  const int width = std::max(1, static_cast<int>(std::nearbyint(DotRad_)));
  painter.save();
  painter.setClipRect(picture);
  auto drawDots = [&](const std::vector<std::int32_t>& counts, std::int32_t colour) {
    QPen pen(ColourOf(colour), width);
    pen.setCapStyle(width > 1 ? Qt::RoundCap : Qt::SquareCap);
    painter.setPen(pen);
    // One path for all dots (each a very short stroke), so that an SVG stays small.
    QPainterPath dots;
    for (const PlotPoint& point : pointsOf(counts, shown_.FirstCh, shown_.LastCh)) {
      const QPointF p = toPixel(point);
      dots.moveTo(p);
      dots.lineTo(p + QPointF(0.01, 0));
    }
    painter.drawPath(dots);
  };
  drawDots(doc_.ViewCounts(), DotCol_);
  paintFurtherRegions(painter, picture);
  for (const RegionOfInterest& region : doc_.regions()) {
    if (!region.RoiSet()) continue;
    // The region's lines in the pixels the picture box fills for them, so that it is as solid.
    QPainterPath lines;
    lines.setFillRule(Qt::WindingFill);
    const float bottom = PicSpec_->innerHeight();
    for (int c = region.RoiFrom(); c <= region.RoiTo(); ++c) {
      const PlotPoint p =
          ChannelToPoint(shown_, area_, c, doc_.ViewCounts()[static_cast<std::size_t>(c)]);
      const QRect pixels = VerticalLinePixels(p.x, p.y, bottom, width, channelWidth());
      lines.addRect(QRectF(pixels.translated(picture.topLeft())));
    }
    painter.fillPath(lines, ColourOf(DotCol_));
  }
  if (doc_.CompareOn()) drawDots(doc_.SecondCounts(), CompareColourOf(colourEntry_));
  painter.setFont(font());
  paintMarkers(painter, picture);
  painter.restore();
  painter.setPen(palette().windowText().color());
  painter.setFont(font());
  for (const auto* labels : {&lblX_, &lblE_, &lblY_}) {
    for (const QLabel* label : *labels) {
      if (!label->isVisibleTo(this)) continue;
      painter.drawText(label->geometry(), static_cast<int>(label->alignment()), label->text());
    }
  }
  drawTicks(painter);
  painter.setPen(palette().dark().color());
  painter.drawRect(picture.adjusted(0, 0, -1, -1));
}

QImage FrmView::renderPicture() const {
  const QRect frame = pictureFrame();
  QImage image(frame.size(), QImage::Format_RGB32);
  QPainter painter(&image);
  paintPicture(painter, frame.topLeft());
  return image;
}

// The picture is made in memory and written through the window's file system, so that it goes
// wherever the spectrum came from, a share too.
bool FrmView::writePicture(const QString& path) const {
  const QRect frame = pictureFrame();
  QByteArray bytes;
  QBuffer file(&bytes);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (path.endsWith(".svg", Qt::CaseInsensitive)) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(frame.size());
    svg.setViewBox(QRect(QPoint(0, 0), frame.size()));
    svg.setResolution(static_cast<int>(std::lround(LogicalDpi())));
    svg.setTitle(windowTitle().toHtmlEscaped());  // the generator writes it as it stands
    {
      QPainter painter(&svg);
      paintPicture(painter, frame.topLeft());
    }
  } else if (!renderPicture().save(&file, "PNG")) {
    return false;
  }
  file.close();
  return files_.WriteFile(
             PathBytes(path),
             std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))) == kDone;
}

}  // namespace durnix
