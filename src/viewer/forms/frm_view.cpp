// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/forms/frm_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <cmath>

#include "elements/element_db.h"
#include "formats/text_rules.h"
#include "platform/help_viewer.h"
#include "platform/paths.h"
#include "platform/twips.h"
#include "viewer/forms/plot_widget.h"
#include "viewer/view_command.h"

namespace durnix {

namespace {

// The window as designed, in twips: the picture's left and top edges, the margins right of it
// and below it, the smallest window.
constexpr double kPictureLeft = 900;
constexpr double kPictureTop = 1100;
constexpr double kRightMargin = 1050;
constexpr double kBelowPicture = 1000;
constexpr double kMinWidth = 6500;
constexpr double kMinHeight = 5000;
constexpr double kStartWidth = 10800;
constexpr double kStartHeight = 7800;
constexpr double kFrameWidth = 120;
constexpr double kFrameHeight = 420;
constexpr double kRow = 300;
constexpr double kTick = 60;

// The surface under the controls, on which the tick marks are drawn.
class ViewClient : public QWidget {
 public:
  ViewClient(QWidget* parent, std::function<void(QWidget*)> paintTicks)
      : QWidget(parent), paintTicks_(std::move(paintTicks)) {}

 protected:
  void paintEvent(QPaintEvent*) override { paintTicks_(this); }

 private:
  std::function<void(QWidget*)> paintTicks_;
};

constexpr std::size_t U(int i) {
  return static_cast<std::size_t>(i);
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QString& text,
                  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter) {
  auto* label = new QLabel(text, parent);
  label->setObjectName(name);
  label->setAlignment(alignment);
  return label;
}

}  // namespace

FrmView::FrmView(ViewerStart start, FileSystem& files, Prompter& prompter, ViewerDialogs& dialogs)
    : start_(std::move(start)), files_(files), prompter_(prompter), dialogs_(dialogs) {
  setObjectName("FrmView");
  setAttribute(Qt::WA_DeleteOnClose);
  // Start-up: the counts, the title, "Auto", the default Low limit and Range, the dot entries.
  doc_ = ViewerDocument(std::move(start_.counts), start_.DefLow, start_.DefRan,
                        GainFieldText(start_.calGain), OffsetFieldText(start_.calOffset));
  start_.counts = {};
  DotRad_ = start_.DotRad;
  DotCol_ = start_.DotCol;
  setWindowTitle(PathText(start_.MyCaption));  // the caption names the file
  buildControls();
  buildAnalysis();
  buildMenus();
  setMinimumSize(Twips(kMinWidth - kFrameWidth), Twips(kMinHeight - kFrameHeight));
  resize(Twips(kStartWidth - kFrameWidth), Twips(kStartHeight - kFrameHeight));

  lblID_->setText("ID : " + Latin1Text(start_.specId));
  lblDate_->setText("Date : " + Latin1Text(start_.date));
  lblTime_->setText("Time : " + Latin1Text(start_.time));
  lblRealTime_->setText("Real(sec) : " + Latin1Text(start_.realTime));
  lblLiveTime_->setText("Live(sec) : " + Latin1Text(start_.liveTime));
}

FrmView::~FrmView() {
  stopShrink();
}

void FrmView::buildControls() {
  client_ = new ViewClient(this, [this](QWidget* surface) { paintTicks(surface); });
  client_->setObjectName("ViewClient");
  setCentralWidget(client_);
  PicSpec_ = new PlotPicture(client_);
  connect(PicSpec_, &PlotPicture::mousePressed, this, &FrmView::onPress);
  connect(PicSpec_, &PlotPicture::mouseMoved, this, &FrmView::onMove);
  connect(PicSpec_, &PlotPicture::mouseReleased, this, &FrmView::onRelease);
  connect(PicSpec_, &PlotPicture::doubleClicked, this, &FrmView::zoomToRegion);
  connect(PicSpec_, &PlotPicture::keyPressed, this, &FrmView::onKey);
  connect(PicSpec_, &PlotPicture::resized, this, [this] {
    area_ = PlotAreaOf(PicSpec_->innerWidth(), PicSpec_->innerHeight());
    DrawSpectrum();
  });

  lblID_ = MakeLabel(client_, "lblID", {});
  lblDate_ = MakeLabel(client_, "lblDate", {});
  lblTime_ = MakeLabel(client_, "lblTime", {});
  lblRealTime_ = MakeLabel(client_, "lblRealTime", {});
  lblLiveTime_ = MakeLabel(client_, "lblLiveTime", {});
  lblEnergy_ = MakeLabel(client_, "lblEnergy", {});
  lblHeight_ = MakeLabel(client_, "lblHeight", {});
  lblGross1_ = MakeLabel(client_, "lblGross1", "0");
  lblNet1_ = MakeLabel(client_, "lblNet1", "0");
  for (QLabel* readout : {lblEnergy_, lblHeight_, lblGross1_, lblNet1_}) {
    readout->setFrameShape(QFrame::Panel);
    readout->setFrameShadow(QFrame::Sunken);
    readout->setAutoFillBackground(true);
  }
  for (int i = 0; i < 6; ++i) {
    lblX_[U(i)] = MakeLabel(client_, "lblX" + QString::number(i), {}, Qt::AlignCenter);
    lblE_[U(i)] = MakeLabel(client_, "lblE" + QString::number(i), {}, Qt::AlignCenter);
    lblE_[U(i)]->hide();
    lblY_[U(i)] =
        MakeLabel(client_, "lblY" + QString::number(i), {}, Qt::AlignRight | Qt::AlignVCenter);
  }
  for (const char* caption : {"Channel", "Count", "Energy", "Conv. factor", "Offset", "From", "To",
                              "Gross", "Net", "Multiplication"}) {
    captions_.push_back(MakeLabel(client_, QString("cap") + caption, caption));
  }
  auto field = [this](const char* name, const QString& text) {
    auto* edit = new QLineEdit(text, client_);
    edit->setObjectName(name);
    edit->installEventFilter(this);
    return edit;
  };
  txtChannel_ = field("txtChannel", "0");
  txtConv_ = field("txtConv", Latin1Text(doc_.ConvText()));
  txtOffset_ = field("txtOffset", Latin1Text(doc_.OffsetText()));
  txtFrom_ = field("txtFrom", "0");
  txtTo_ = field("txtTo", "0");
  txtTo_->setEnabled(false);
  txtMultipl_ = field("txtMultipl", "1");
  PGBar1_ = new QProgressBar(client_);
  PGBar1_->setObjectName("PGBar1");
  PGBar1_->setTextVisible(false);
  PGBar1_->hide();
  cmdScrollDn_ = new QPushButton(QString::fromUtf8("\u25C0"), client_);
  cmdScrollDn_->setObjectName("cmdScrollDn");
  cmdScrollUp_ = new QPushButton(QString::fromUtf8("\u25B6"), client_);
  cmdScrollUp_->setObjectName("cmdScrollUp");
  for (QPushButton* button : {cmdScrollDn_, cmdScrollUp_}) {
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRepeat(true);
  }
  connect(cmdScrollDn_, &QPushButton::clicked, this, [this] {
    onKey(Qt::Key_Left, Qt::NoModifier);
    PicSpec_->setFocus();
  });
  connect(cmdScrollUp_, &QPushButton::clicked, this, [this] {
    onKey(Qt::Key_Right, Qt::NoModifier);
    PicSpec_->setFocus();
  });
  setTabOrder(PicSpec_, txtChannel_);
  setTabOrder(txtChannel_, txtFrom_);
  setTabOrder(txtFrom_, txtTo_);
  setTabOrder(txtTo_, txtConv_);
  setTabOrder(txtConv_, txtOffset_);
  setTabOrder(txtOffset_, txtMultipl_);
}

void FrmView::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  layoutControls();
}

// The picture keeps its left and top edges and leaves 1050 twips to its right and 1000 below;
// the readouts sit in rows above and below it, the scroll buttons either side of the centre.
void FrmView::layoutControls() {
  const double w = PixelsToTwips(client_->width());
  const double h = PixelsToTwips(client_->height());
  const double pictureWidth = std::max(200.0, w - kPictureLeft - kRightMargin);
  const double pictureHeight = std::max(200.0, h - 2100);
  PicSpec_->setGeometry(TwipsRect(kPictureLeft, kPictureTop, pictureWidth, pictureHeight));

  // One row from `left` to `right`: captions and fields at their natural widths, the rest of the
  // room shared by the readouts (stretch 1).
  struct Item {
    QWidget* widget;
    double width;  // twips; 0: the caption's own width
    int stretch;
  };
  auto row = [](std::initializer_list<Item> items, double left, double right, double top) {
    double fixed = 0;
    int stretches = 0;
    std::vector<double> widths;
    for (const Item& item : items) {
      const double natural =
          item.width > 0 ? item.width : PixelsToTwips(item.widget->sizeHint().width()) + 60;
      widths.push_back(natural);
      fixed += natural + 45;
      stretches += item.stretch;
    }
    const double extra = std::max(0.0, right - left - fixed);
    double x = left;
    std::size_t i = 0;
    for (const Item& item : items) {
      const double width = widths[i++] + (stretches > 0 ? extra * item.stretch / stretches : 0);
      const bool field = qobject_cast<QLineEdit*>(item.widget) != nullptr;
      item.widget->setGeometry(
          TwipsRect(x, field ? top - 15 : top, width, field ? kRow + 30 : kRow));
      x += width + 45;
    }
  };
  const double margin = 120;
  row({{lblID_, 1200, 3}, {lblDate_, 1200, 1}, {lblTime_, 1200, 1}}, margin, w - margin, 60);
  row({{lblRealTime_, 1200, 1},
       {lblLiveTime_, 1200, 1},
       {captions_[3], 0, 0},
       {txtConv_, 900, 0},
       {captions_[4], 0, 0},
       {txtOffset_, 900, 0}},
      margin, w - margin, 390);

  const double row1 = pictureHeight + 1450;
  const double row2 = row1 + 340;
  const double centre = w / 2;
  cmdScrollDn_->setGeometry(TwipsRect(centre - 420, row1, 400, kRow));
  cmdScrollUp_->setGeometry(TwipsRect(centre + 20, row1, 400, kRow));
  row({{captions_[0], 0, 0}, {txtChannel_, 700, 0}, {captions_[1], 0, 0}, {lblHeight_, 500, 1}},
      margin, centre - 480, row1);
  row({{captions_[5], 0, 0}, {txtFrom_, 700, 1}, {captions_[6], 0, 0}, {txtTo_, 700, 1}},
      centre + 480, w - margin, row1);
  row({{captions_[2], 0, 0}, {lblEnergy_, 700, 1}, {captions_[9], 0, 0}, {txtMultipl_, 600, 0}},
      margin, centre - 60, row2);
  row({{captions_[7], 0, 0}, {lblGross1_, 600, 1}, {captions_[8], 0, 0}, {lblNet1_, 600, 1}},
      centre + 60, w - margin, row2);
  PGBar1_->setGeometry(TwipsRect(margin, row2, std::max(300.0, centre - 180), kRow));
  placeAxisLabels();
}

// The axis labels around the picture: channels 90 twips below the frame, energies above it,
// counts to its left, each centred on its division.
void FrmView::placeAxisLabels() {
  const QRect picture = PicSpec_->geometry();
  const double left = PixelsToTwips(picture.left());
  const double top = PixelsToTwips(picture.top());
  const double width = PixelsToTwips(picture.width());
  const double height = PixelsToTwips(picture.height());
  const double labelWidth = 900;
  for (int i = 0; i < 6; ++i) {
    const double x = left + width * i / 5;
    lblX_[U(i)]->setGeometry(TwipsRect(x - labelWidth / 2, top + height + 90, labelWidth, 240));
    lblE_[U(i)]->setGeometry(TwipsRect(x - labelWidth / 2, top - 90 - 240, labelWidth, 240));
    const double y = top + height - height * i / 5;
    lblY_[U(i)]->setGeometry(TwipsRect(0, y - 120, left - 90, 240));
  }
  lblX_[5]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lblX_[5]->setGeometry(TwipsRect(left + width - labelWidth, top + height + 90, labelWidth, 240));
  lblE_[5]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  lblE_[5]->setGeometry(TwipsRect(left + width - labelWidth, top - 90 - 240, labelWidth, 240));
  client_->update();
}

void FrmView::paintTicks(QWidget* surface) {
  QPainter painter(surface);
  painter.setPen(palette().windowText().color());
  drawTicks(painter);
}

// The tick marks at the four inner divisions: below and left of the picture, above it too
// once the energies are shown.
void FrmView::drawTicks(QPainter& painter) const {
  const QRect picture = PicSpec_->geometry();
  const int tick = Twips(kTick);
  for (int i = 1; i < 5; ++i) {
    const int x = picture.left() + picture.width() * i / 5;
    painter.drawLine(x, picture.bottom() + 1, x, picture.bottom() + tick);
    if (energiesShown_) painter.drawLine(x, picture.top() - tick, x, picture.top() - 1);
    const int y = picture.bottom() - picture.height() * i / 5;
    painter.drawLine(picture.left() - tick, y, picture.left() - 1, y);
  }
}

void FrmView::setBusyPointer(bool busy) {
  if (busy) {
    setCursor(Qt::WaitCursor);
    PicSpec_->setCursor(Qt::WaitCursor);
  } else {
    unsetCursor();
    PicSpec_->setCursor(Qt::CrossCursor);
  }
}

void FrmView::DrawSpectrum() {
  if (PicSpec_ == nullptr || doc_.ViewCounts().empty()) return;
  setBusyPointer(true);
  doc_.setCalibration(Latin1Bytes(txtConv_->text()), Latin1Bytes(txtOffset_->text()));
  PlotWindow window;
  if (!doc_.Frame(window)) {
    setBusyPointer(false);
    prompter_.Ask(OverflowedMessage(start_.FileName), StandardButtons::kOk);
    return;
  }
  shown_ = window;
  area_ = PlotAreaOf(PicSpec_->innerWidth(), PicSpec_->innerHeight());
  if (!txtConv_->text().isEmpty() && !energiesShown_) {
    energiesShown_ = true;
    for (QLabel* label : lblE_) label->show();
  }
  const AxisLabels labels = AxisLabelsOf(shown_, doc_.ConvFactor(), doc_.ConvOffset());
  for (int i = 0; i < 6; ++i) {
    lblX_[U(i)]->setText(QString::fromStdString(labels.lblX[U(i)]));
    lblE_[U(i)]->setText(QString::fromStdString(labels.lblE[U(i)]));
    lblY_[U(i)]->setText(QString::fromStdString(labels.lblY[U(i)]));
  }
  client_->update();

  BackColour_ = BackColourOf(DotCol_);
  PicSpec_->clear(BackColour_, static_cast<int>(std::nearbyint(DotRad_)));
  PicSpec_->dots(pointsOf(doc_.ViewCounts(), shown_.FirstCh, shown_.LastCh), DotCol_);
  drawFurtherRegions();
  for (const RegionOfInterest& region : doc_.regions()) {
    if (!region.RoiSet()) continue;
    for (int c = region.RoiFrom(); c <= region.RoiTo(); ++c) {
      const PlotPoint p =
          ChannelToPoint(shown_, area_, c, doc_.ViewCounts()[static_cast<std::size_t>(c)]);
      PicSpec_->verticalLine(p.x, p.y, PicSpec_->innerHeight(), DotCol_, channelWidth());
    }
  }
  if (doc_.CompareOn()) {
    PicSpec_->dots(pointsOf(doc_.SecondCounts(), shown_.FirstCh, shown_.LastCh),
                   CompareColourOf(colourEntry_));
  }
  PicSpec_->overlay([this](QPainter& painter) {
    painter.setFont(font());
    paintMarkers(painter, QRect(QPoint(0, 0), PicSpec_->size()));
  });
  PicSpec_->present();
  refreshRegionTable();
  setBusyPointer(false);
}

// Where channels from..to of `counts` are drawn, as far as the window shows them and the counts
// reach.
std::vector<PlotPoint> FrmView::pointsOf(const std::vector<std::int32_t>& counts, int from,
                                         int to) const {
  std::vector<PlotPoint> points;
  const int last = std::min({to, shown_.LastCh, static_cast<int>(counts.size()) - 1});
  for (int c = std::max(from, shown_.FirstCh); c <= last; ++c) {
    points.push_back(ChannelToPoint(shown_, area_, c, counts[static_cast<std::size_t>(c)]));
  }
  return points;
}

void FrmView::closeEvent(QCloseEvent* event) {
  stopShrink();
  if (helpOpened_) HelpViewer::Quit();
  emit closed();
  event->accept();
}

void FrmView::mnuHelp_Click() {
  helpOpened_ = true;
  HelpViewer::ShowTopic(1012);
}

}  // namespace durnix
