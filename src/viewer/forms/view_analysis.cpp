// SPDX-License-Identifier: GPL-3.0-or-later
// FrmView: the further regions (Ctrl and drag), the regions' table and the markers of X-ray
// lines and surface edges, with the panel that shows and edits them.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDockWidget>
#include <QEvent>
#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cmath>
#include <string_view>

#include "elements/element_db.h"
#include "formats/catalogue.h"
#include "formats/text_rules.h"
#include "platform/data_files.h"
#include "platform/paths.h"
#include "platform/twips.h"
#include "viewer/forms/analysis_panel.h"
#include "viewer/forms/frm_view.h"
#include "viewer/forms/plot_widget.h"
#include "viewer/forms/viewer_dialogs.h"
#include "viewer/labels.h"
#include "viewer/markers.h"
#include "viewer/region_table.h"

namespace durnix {

namespace {

constexpr std::int32_t Rgb(int r, int g, int b) {
  return r | (g << 8) | (b << 16);
}

// Sixteen colours told apart on each of the plot's backgrounds.
constexpr std::array<std::int32_t, ViewerDocument::kMaxRegions> kRegionColours = {
    Rgb(31, 119, 180), Rgb(214, 39, 40),   Rgb(44, 160, 44),   Rgb(148, 103, 189),
    Rgb(140, 86, 75),  Rgb(227, 119, 194), Rgb(127, 127, 127), Rgb(188, 189, 34),
    Rgb(23, 190, 207), Rgb(255, 127, 14),  Rgb(0, 0, 128),     Rgb(128, 0, 0),
    Rgb(0, 100, 0),    Rgb(75, 0, 130),    Rgb(184, 134, 11),  Rgb(0, 128, 128)};

const QColor kLineColour(0, 0, 0);
const QColor kEdgeColour(170, 0, 0);

}  // namespace

std::int32_t FrmView::RegionColour(std::size_t index) {
  return kRegionColours[index % kRegionColours.size()];
}

void FrmView::buildAnalysis() {
  dockAnalysis_ = new QDockWidget("Regions and markers", this);
  dockAnalysis_->setObjectName("dockAnalysis");
  dockAnalysis_->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                             QDockWidget::DockWidgetFloatable);
  analysis_ = new AnalysisPanel(dockAnalysis_);
  dockAnalysis_->setWidget(analysis_);
  addDockWidget(Qt::RightDockWidgetArea, dockAnalysis_);
  dockAnalysis_->hide();
  mnuAnalysis_ = dockAnalysis_->toggleViewAction();
  mnuAnalysis_->setObjectName("mnuAnalysis");
  mnuAnalysis_->setText("Regions and &markers");
  mnuAnalysis_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
  connect(dockAnalysis_, &QDockWidget::visibilityChanged, this, [this](bool visible) {
    if (visible) refreshRegionTable();
    QTimer::singleShot(0, this, [this, visible] { fitAnalysis(visible); });
  });
  connect(analysis_, &AnalysisPanel::rowEdited, this, &FrmView::editRegionRow);
  connect(analysis_, &AnalysisPanel::deleteRequested, this,
          [this] { deleteRegionRows(analysis_->selectedRows()); });
  connect(analysis_, &AnalysisPanel::copyRequested, this, &FrmView::mnuRegionCopy_Click);
  connect(analysis_, &AnalysisPanel::exportRequested, this, &FrmView::mnuRegionExport_Click);
  connect(analysis_, &AnalysisPanel::linesEntered, this, &FrmView::markLines);
  connect(analysis_, &AnalysisPanel::edgesEntered, this, &FrmView::markEdges);
}

void FrmView::showAnalysis() {
  dockAnalysis_->show();
}

// Docked, the panel takes its room beside the plot: the window grows by its width (moved left
// where the screen's right edge is near) so that the plot keeps its size, and gives the room
// back when the panel is closed.
void FrmView::fitAnalysis(bool visible) {
  if (isMaximized() || isFullScreen() || isMinimized()) return;
  if (visible && widenedBy_ == 0 && !dockAnalysis_->isFloating()) {
    QRect frame = frameGeometry();
    const int room = dockAnalysis_->sizeHint().width() + 6;
    frame.setWidth(frame.width() + room);
    if (const QScreen* screen = this->screen()) {
      const QRect area = screen->availableGeometry();
      if (frame.right() > area.right()) frame.moveRight(area.right());
      if (frame.left() < area.left()) frame.setLeft(area.left());
    }
    const QPoint shift = frame.topLeft() - frameGeometry().topLeft();
    widenedBy_ = frame.width() - frameGeometry().width();
    move(pos() + shift);
    resize(width() + widenedBy_, height());
  } else if (!visible && widenedBy_ > 0 && dockAnalysis_->isHidden()) {
    resize(std::max(minimumWidth(), width() - widenedBy_), height());
    widenedBy_ = 0;
  }
}

void FrmView::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) emit activated();
}

void FrmView::refreshRegionTable() {
  if (analysis_ == nullptr || !dockAnalysis_->isVisible()) return;
  const std::vector<RegionFigures> table = doc_.RegionTable();
  const int own = doc_.activeRegion().RoiSet() ? 1 : 0;
  std::vector<std::vector<std::string>> rows;
  std::vector<QColor> colours;
  for (std::size_t i = 0; i < table.size(); ++i) {
    rows.push_back(RegionTableRow(table[i], doc_));
    const bool ownRow = static_cast<int>(i) < own;
    colours.push_back(ColourOf(ownRow ? DotCol_ : RegionColour(i - static_cast<std::size_t>(own))));
  }
  // A redraw that changed no figure leaves the table (and the cell being edited) as it is.
  std::vector<std::string> header = RegionTableHeader(doc_.Calibrated());
  if (rows == shownRows_ && header == shownHeader_ && own == shownOwn_) return;
  analysis_->showTable(header, rows, colours, own);
  shownRows_ = std::move(rows);
  shownHeader_ = std::move(header);
  shownOwn_ = own;
}

void FrmView::addFurtherRegion(int from, int to) {
  std::string refusal;
  if (!doc_.AddRegion(from, to, refusal)) {
    prompter_.Ask(refusal, StandardButtons::kOk);
  } else {
    showAnalysis();
  }
  enableCommands();
  DrawSpectrum();
}

void FrmView::editRegionRow(int row, const QString& from, const QString& to) {
  const int own = doc_.activeRegion().RoiSet() ? 1 : 0;
  bool fromOk = false;
  bool toOk = false;
  const int first = from.trimmed().toInt(&fromOk);
  const int last = to.trimmed().toInt(&toOk);
  std::string refusal;
  if (!fromOk || !toOk) {
    refusal = "From and To are channel numbers: " + Latin1Bytes(from) + " and " + Latin1Bytes(to) +
              " are not.";
  } else if (row >= own) {
    doc_.SetRegion(static_cast<std::size_t>(row - own), first, last, refusal);
  }
  // The table shows what the document holds, the edit refused or not.
  shownOwn_ = -1;
  QMetaObject::invokeMethod(
      this, [this] { DrawSpectrum(); }, Qt::QueuedConnection);
  if (!refusal.empty()) prompter_.Ask(refusal, StandardButtons::kOk);
}

void FrmView::deleteRegionRows(const std::vector<int>& rows) {
  if (doc_.Busy() || rows.empty()) return;
  const int own = doc_.activeRegion().RoiSet() ? 1 : 0;
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) {
    if (*row >= own) doc_.RemoveRegion(static_cast<std::size_t>(*row - own));
  }
  if (own == 1 && rows.front() == 0) {
    RegionUpdate cleared = doc_.activeRegion().clear();
    cleared.steps.clear();  // drawn once below
    perform(cleared);
  }
  enableCommands();
  DrawSpectrum();
}

QString FrmView::regionTableText(char separator) const {
  return QString::fromStdString(RegionTableText(doc_, separator));
}

void FrmView::mnuRegionCopy_Click() {
  QApplication::clipboard()->setText(regionTableText('\t'));
}

// The table is written through the window's file system, beside the spectrum by default.
void FrmView::mnuRegionExport_Click() {
  const QString proposed =
      PathText(start_.folder) +
      PathText(WithWriterExtension(start_.FileName, "csv", ExtensionRule::kAfterLastDot));
  const QString path = dialogs_.exportTable(this, proposed);
  if (path.isEmpty()) return;
  const std::string text = RegionTableText(doc_, ',');
  if (files_.WriteFile(PathBytes(path), std::string_view(text)) != kDone) {
    prompter_.Ask("Disk is not ready or bad media.", StandardButtons::kOk);
  }
}

// ---- Markers ------------------------------------------------------------------------------------

const ElementDatabase* FrmView::elements() {
  if (elementsOpened_) return elements_.get();
  const std::string path =
      !start_.elementDatabase.empty()
          ? start_.elementDatabase
          : PathBytes(ElementDatabasePath(QCoreApplication::applicationDirPath()));
  std::string problem;
  elements_ = ElementDatabase::Open(path, problem);
  if (!elements_) {
    prompter_.Ask(problem, StandardButtons::kOk);
    return nullptr;
  }
  elementsOpened_ = true;
  return elements_.get();
}

namespace {

QString Joined(const std::vector<ElementChoice>& choices) {
  QStringList names;
  for (const ElementChoice& choice : choices) names << QString::fromStdString(choice.name);
  return names.join(' ');
}

}  // namespace

void FrmView::markLines(const QString& typed) {
  std::string refusal;
  const std::vector<std::string> names = ElementNamesOf(Latin1Bytes(typed));
  if (names.empty()) {
    doc_.SetMarkers(ViewerDocument::Marker::kXray, {}, refusal);
    analysis_->setNote({});
    DrawSpectrum();
    return;
  }
  if (!doc_.Calibrated()) {
    prompter_.Ask(ViewerDocument::kNoCalibrationRefusal, StandardButtons::kOk);
    return;
  }
  const ElementDatabase* database = elements();
  if (database == nullptr) return;
  std::vector<ElementChoice> choices;
  if (!ElementChoicesOf(*database, names, choices, refusal)) {
    prompter_.Ask(refusal, StandardButtons::kOk);
    return;
  }
  showAnalysis();
  analysis_->linesField()->setText(Joined(choices));
  const QString families = analysis_->families();
  const std::vector<XrayLine> lines = LinesWithin(*database, choices, Latin1Bytes(families), doc_);
  doc_.SetMarkers(ViewerDocument::Marker::kXray, LineMarkers(lines), refusal);
  analysis_->setNote(lines.empty() ? "No " + families + " line of " + Joined(choices) +
                                         " lies within the spectrum's energies."
                                   : QString::number(lines.size()) + " X-ray lines of " +
                                         Joined(choices) + " marked.");
  DrawSpectrum();
}

void FrmView::markElement(const QString& symbol) {
  QString typed = analysis_->linesField()->text();
  const std::vector<std::string> names = ElementNamesOf(Latin1Bytes(typed));
  const bool marked = std::any_of(names.begin(), names.end(), [&](const std::string& name) {
    return QString::fromLatin1(name).compare(symbol, Qt::CaseInsensitive) == 0;
  });
  if (!marked) typed = typed.trimmed().isEmpty() ? symbol : typed.trimmed() + ' ' + symbol;
  markLines(typed);
}

void FrmView::markEdges(const QString& typed) {
  std::string refusal;
  const std::vector<std::string> names = ElementNamesOf(Latin1Bytes(typed));
  if (names.empty()) {
    doc_.SetMarkers(ViewerDocument::Marker::kEdge, {}, refusal);
    analysis_->setNote({});
    DrawSpectrum();
    return;
  }
  const ElementDatabase* database = elements();
  if (database == nullptr) return;
  std::vector<ElementChoice> choices;
  if (!ElementChoicesOf(*database, names, choices, refusal)) {
    prompter_.Ask(refusal, StandardButtons::kOk);
    return;
  }
  const bool rumpHeader = start_.rumpHeader.has_value();
  const Beam beam =
      BeamOf(rumpHeader ? *start_.rumpHeader : SpectrumRecord(), rumpHeader, *database);
  refusal = BeamRefusal(beam, rumpHeader);
  if (refusal.empty() && !doc_.Calibrated()) refusal = ViewerDocument::kNoCalibrationRefusal;
  std::vector<SurfaceEdge> edges;
  if (refusal.empty()) SurfaceEdgesOf(*database, choices, beam, edges, refusal);
  if (!refusal.empty()) {
    prompter_.Ask(refusal, StandardButtons::kOk);
    return;
  }
  showAnalysis();
  analysis_->edgesField()->setText(Joined(choices));
  doc_.SetMarkers(ViewerDocument::Marker::kEdge, EdgeMarkers(edges), refusal);
  QStringList parts;
  for (const SurfaceEdge& edge : edges) {
    parts << QString::fromStdString(edge.name) + ": K " + QString::number(edge.K, 'f', 4) + ", " +
                 QString::number(edge.keV, 'f', 1) + " keV";
  }
  analysis_->setNote("Surface edges at " + QString::number(*beam.MeV, 'g', 4) + " MeV, " +
                     QString::number(*beam.angle, 'g', 4) + "\u00B0: " + parts.join("; ") + ".");
  DrawSpectrum();
}

// ---- Drawing ------------------------------------------------------------------------------------

double FrmView::pixelOfChannel(double channel) const {
  const double scale = LogicalDpi() / 1440.0;
  const double x0 = ChannelToPoint(shown_, area_, 0, 0).x;
  const double x1 = ChannelToPoint(shown_, area_, 1, 0).x;
  return (x0 + channel * (x1 - x0)) * scale;
}

void FrmView::drawFurtherRegions() {
  const float bottom = PicSpec_->innerHeight();
  auto draw = [&](const ViewerDocument::Span& span, std::int32_t colour) {
    const int last = std::min(span.to, shown_.LastCh);
    for (int c = std::max(span.from, shown_.FirstCh); c <= last; ++c) {
      const PlotPoint p =
          ChannelToPoint(shown_, area_, c, doc_.ViewCounts()[static_cast<std::size_t>(c)]);
      PicSpec_->verticalLine(p.x, p.y, bottom, colour, channelWidth());
    }
  };
  const auto& further = doc_.FurtherRegions();
  for (std::size_t i = 0; i < further.size(); ++i) draw(further[i], RegionColour(i));
  if (pendingFurther_) draw(*pendingFurther_, RegionColour(further.size()));
}

void FrmView::paintFurtherRegions(QPainter& painter, const QRect& picture) const {
  const float bottom = PicSpec_->innerHeight();
  const int width = std::max(1, static_cast<int>(std::nearbyint(DotRad_)));
  const auto& further = doc_.FurtherRegions();
  for (std::size_t i = 0; i < further.size(); ++i) {
    QPainterPath lines;
    lines.setFillRule(Qt::WindingFill);
    const int last = std::min(further[i].to, shown_.LastCh);
    for (int c = std::max(further[i].from, shown_.FirstCh); c <= last; ++c) {
      const PlotPoint p =
          ChannelToPoint(shown_, area_, c, doc_.ViewCounts()[static_cast<std::size_t>(c)]);
      const QRect pixels = VerticalLinePixels(p.x, p.y, bottom, width, channelWidth());
      lines.addRect(QRectF(pixels.translated(picture.topLeft())));
    }
    painter.fillPath(lines, ColourOf(RegionColour(i)));
  }
}

// Each marker is a line up from the plot's bottom, as high as its line is strong (an edge to
// the full height), labelled above its tip; the strongest get their labels first, and a label
// with no room left is left out rather than written over another.
void FrmView::paintMarkers(QPainter& painter, const QRect& picture) const {
  if (doc_.Markers().empty()) return;
  const double scale = LogicalDpi() / 1440.0;
  const double bottom = picture.top() + area_.PlotBottom * scale;
  const double height = area_.PlotHeight * scale;
  struct Shown {
    const ViewerDocument::Marker* marker;
    double x;
    double tip;
  };
  std::vector<Shown> shown;
  for (const ViewerDocument::Marker& marker : doc_.Markers()) {
    const std::optional<double> channel = doc_.MarkerChannel(marker);
    if (!channel || *channel < shown_.FirstCh || *channel > shown_.LastCh) continue;
    const double reach = marker.kind == ViewerDocument::Marker::kEdge
                             ? 0.9
                             : 0.85 * std::clamp(marker.height, 0.06, 1.0);
    shown.push_back({&marker, picture.left() + pixelOfChannel(*channel), bottom - reach * height});
  }
  std::stable_sort(shown.begin(), shown.end(), [](const Shown& a, const Shown& b) {
    return a.marker->height > b.marker->height;
  });
  QFont font = painter.font();
  font.setPointSizeF(std::max(6.0, font.pointSizeF() * 0.9));
  painter.setFont(font);
  const QFontMetricsF metrics(font);
  std::vector<LabelBox> boxes;
  for (const Shown& s : shown) {
    const QString label = QString::fromStdString(s.marker->label);
    boxes.push_back({s.x, s.tip, metrics.horizontalAdvance(label) + 4, metrics.height()});
  }
  const auto places = PlaceLabels(boxes, picture.top() + 2, picture.left() + 2, picture.right() - 2,
                                  4 * metrics.height());
  painter.save();
  painter.setClipRect(picture);
  for (const Shown& s : shown) {
    const bool edge = s.marker->kind == ViewerDocument::Marker::kEdge;
    QPen pen(edge ? kEdgeColour : kLineColour, edge ? 2 : 1, edge ? Qt::SolidLine : Qt::DashLine);
    painter.setPen(pen);
    painter.drawLine(QPointF(s.x, bottom), QPointF(s.x, s.tip));
  }
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (!places[i]) continue;
    const QRectF box(places[i]->left, places[i]->top, boxes[i].width, boxes[i].height);
    if (box.bottom() < shown[i].tip - 1) {
      painter.setPen(QPen(QColor(90, 90, 90), 1, Qt::DotLine));
      painter.drawLine(QPointF(shown[i].x, box.bottom()), QPointF(shown[i].x, shown[i].tip));
    }
    painter.fillRect(box, QColor(255, 255, 255, 210));
    const bool edge = shown[i].marker->kind == ViewerDocument::Marker::kEdge;
    painter.setPen(edge ? kEdgeColour : kLineColour);
    painter.drawText(box, Qt::AlignCenter, QString::fromStdString(shown[i].marker->label));
  }
  painter.restore();
}

}  // namespace durnix
