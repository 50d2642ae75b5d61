// SPDX-License-Identifier: GPL-3.0-or-later
// FrmView: the plot's mouse and keys, the cursor readout, the region of interest and the fields.

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTimer>
#include <cmath>
#include <limits>

#include "formats/text_rules.h"
#include "platform/keyboard.h"
#include "platform/paths.h"
#include "viewer/arithmetic.h"
#include "viewer/forms/frm_view.h"
#include "viewer/forms/plot_widget.h"

namespace durnix {

namespace {

bool AnyModifier(Qt::KeyboardModifiers modifiers) {
  return (modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)) != 0;
}

QString Text(int value) {
  return QString::number(value);
}

}  // namespace

int FrmView::channelAt(float x) const {
  return PointToChannel(shown_, area_, x);
}

void FrmView::onPress(float x, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  // Ctrl and drag marks a further region, the window's own one left as it is.
  if (button == Qt::LeftButton && modifiers == Qt::ControlModifier && !doc_.Busy()) {
    furtherStart_ = channelAt(x);
    pendingFurther_ = ViewerDocument::Span{furtherStart_, furtherStart_};
    return;
  }
  if (button != Qt::LeftButton || AnyModifier(modifiers) || doc_.Busy()) return;
  perform(doc_.activeRegion().press(x, channelAt(x)));
}

void FrmView::onMove(float x, Qt::MouseButtons buttons) {
  if (doc_.Busy()) return;
  if ((buttons & Qt::LeftButton) == 0) {
    readoutX_ = x;
    showReadout(channelAt(x));
  } else if (furtherStart_ >= 0) {
    const int channel = channelAt(x);
    pendingFurther_ =
        ViewerDocument::Span{std::min(furtherStart_, channel), std::max(furtherStart_, channel)};
    DrawSpectrum();
  } else if (doc_.activeRegion().Dragging()) {
    perform(doc_.activeRegion().drag(channelAt(x)));
  }
}

void FrmView::onRelease(float x, Qt::MouseButton button, Qt::KeyboardModifiers modifiers) {
  if (doc_.Busy()) return;
  if (furtherStart_ >= 0 && button == Qt::LeftButton) {
    const int from = furtherStart_;
    furtherStart_ = -1;
    pendingFurther_.reset();
    const int to = channelAt(x);
    if (from != to) {
      addFurtherRegion(from, to);
    } else {
      DrawSpectrum();  // a click: no region
    }
    return;
  }
  if (button == Qt::LeftButton && (modifiers & Qt::ShiftModifier)) {
    zoomToRegion();
  } else if (button == Qt::RightButton) {
    if (doc_.activeRegion().RoiSet()) {
      perform(doc_.activeRegion().clear());
    } else {
      showPopUp();
    }
  } else if (button == Qt::LeftButton) {
    perform(doc_.activeRegion().release(x, channelAt(x), doc_.ViewCounts()));
  }
}

// After the counts or the channels changed: the readout shows what it would now, the channel
// under the pointer where it last was, or the channel typed.
void FrmView::refreshReadout() {
  if (!readoutShown_ || doc_.ViewCounts().empty()) return;
  if (std::isnan(readoutX_)) {
    showReadout(FieldChannel(Latin1Bytes(txtChannel_->text()), ChNum()));
  } else {
    showReadout(channelAt(readoutX_));
  }
}

void FrmView::showReadout(int channel) {
  if (doc_.ViewCounts().empty()) return;
  readoutShown_ = true;
  channel = std::clamp(channel, 0, ChNum() - 1);
  txtChannel_->setText(Text(channel));
  lblEnergy_->setText(QString::fromStdString(SingleText(doc_.EnergyOf(channel))));
  lblHeight_->setText(Text(doc_.ViewCounts()[static_cast<std::size_t>(channel)]));
}

void FrmView::perform(const RegionUpdate& update) {
  if (update.hourglass) setBusyPointer(true);
  performSteps(update.steps);
  if (!update.fromText.empty()) txtFrom_->setText(QString::fromStdString(update.fromText));
  if (!update.toText.empty()) txtTo_->setText(QString::fromStdString(update.toText));
  if (update.areasShown) showAreas(true, update.areas);
  if (update.cleared) showAreas(false, {});
  if (update.hourglass) setBusyPointer(false);
  if (update.areasShown || update.cleared) {
    // Among further regions or markers a finished region is drawn with them.
    if (!doc_.FurtherRegions().empty() || !doc_.Markers().empty()) DrawSpectrum();
    refreshRegionTable();
  }
  if (mnuCopy_ != nullptr) enableCommands();
}

void FrmView::performSteps(const std::vector<RegionStep>& steps) {
  // Drawn over further regions or markers, a region's lines are drawn with them, the whole
  // picture anew.
  const float bottom = PicSpec_->innerHeight();
  if (!steps.empty() && (!doc_.FurtherRegions().empty() || !doc_.Markers().empty())) {
    DrawSpectrum();
    const RegionOfInterest& region = doc_.activeRegion();
    if (region.Dragging()) {
      for (int c = std::max(region.FillLow(), 0); c <= std::min(region.FillHigh(), ChNum() - 1);
           ++c) {
        const PlotPoint p =
            ChannelToPoint(shown_, area_, c, doc_.ViewCounts()[static_cast<std::size_t>(c)]);
        PicSpec_->verticalLine(p.x, p.y, bottom, DotCol_, channelWidth());
      }
      PicSpec_->present();
    }
    return;
  }
  bool drawn = false;
  for (const RegionStep& step : steps) {
    if (step.kind == RegionStep::kRedrawAll) {
      DrawSpectrum();
      continue;
    }
    for (int c = std::max(step.from, 0); c <= std::min(step.to, ChNum() - 1); ++c) {
      const PlotPoint p =
          ChannelToPoint(shown_, area_, c, doc_.ViewCounts()[static_cast<std::size_t>(c)]);
      switch (step.kind) {
        case RegionStep::kFill:
          PicSpec_->verticalLine(p.x, p.y, bottom, DotCol_, channelWidth());
          break;
        case RegionStep::kEraseKeepDot:
          if (p.y + 20 * DotRad_ < bottom) {
            PicSpec_->verticalLine(p.x, p.y + 20 * DotRad_, bottom, BackColour_, channelWidth());
          }
          break;
        case RegionStep::kEraseFull:
          PicSpec_->verticalLine(p.x, p.y, bottom, BackColour_, channelWidth());
          break;
        case RegionStep::kRedrawAll:
          break;
      }
    }
    if (step.kind == RegionStep::kEraseFull) redrawDots(step.from, step.to);
    drawn = true;
  }
  if (drawn) PicSpec_->present();
}

void FrmView::redrawDots(int from, int to) {
  PicSpec_->dots(pointsOf(doc_.ViewCounts(), from, to), DotCol_);
  if (doc_.CompareOn())
    PicSpec_->dots(pointsOf(doc_.SecondCounts(), from, to), CompareColourOf(colourEntry_));
}

// A finished region shows its areas in green bold on blue; a cleared one returns to the window's
// own colours and "0".
void FrmView::showAreas(bool shown, const RegionAreas& areas) {
  for (QLabel* label : {lblGross1_, lblNet1_}) {
    QPalette colours = palette();
    QFont font = label->font();
    font.setBold(shown);
    if (shown) {
      colours.setColor(QPalette::Window, Qt::blue);
      colours.setColor(QPalette::WindowText, Qt::green);
    }
    label->setPalette(colours);
    label->setFont(font);
  }
  lblGross1_->setText(shown ? QString::fromStdString(GrossText(areas)) : "0");
  lblNet1_->setText(shown ? QString::fromStdString(NetText(areas)) : "0");
}

void FrmView::zoomToRegion() {
  if (!doc_.activeRegion().RoiSet()) return;
  ZoomToRegion(doc_.settings(), doc_.activeRegion().RoiFrom(), doc_.activeRegion().RoiTo());
  RegionUpdate cleared = doc_.activeRegion().clear();
  cleared.steps.clear();  // drawn once below
  perform(cleared);
  checkMenus();
  DrawSpectrum();
}

void FrmView::onKey(int key, Qt::KeyboardModifiers modifiers) {
  if (!doc_.Enabled(ViewerCommand::kRegion)) return;
  ViewKey viewKey;
  switch (key) {
    case Qt::Key_Escape:
      viewKey = ViewKey::kEscape;
      break;
    case Qt::Key_Up:
      viewKey = ViewKey::kUp;
      break;
    case Qt::Key_Down:
      viewKey = ViewKey::kDown;
      break;
    case Qt::Key_Left:
      viewKey = ViewKey::kLeft;
      break;
    case Qt::Key_Right:
      viewKey = ViewKey::kRight;
      break;
    case Qt::Key_ScrollLock:
      ScrollLock::KeyPressed();
      return;
    default:
      return;
  }
  const KeyEffect effect =
      PressKey(doc_.settings(), viewKey, AnyModifier(modifiers),
               (modifiers & Qt::ShiftModifier) != 0, ScrollLock::IsOn(), ChNum(), shown_.FullScale);
  switch (effect) {
    case KeyEffect::kNothing:
      break;
    case KeyEffect::kRedraw:
      checkMenus();
      DrawSpectrum();
      break;
    case KeyEffect::kZoomCommand:
      mnuZoom_Click();
      break;
    case KeyEffect::kUnzoom:
      checkMenus();
      DrawSpectrum();
      break;
  }
}

void FrmView::showPopUp() {
  popUpScroll_->setChecked(ScrollLock::IsOn());
  mnuPopUp_->popup(QCursor::pos());
}

// ---- Fields --------------------------------------------------------------------------------

bool FrmView::eventFilter(QObject* watched, QEvent* event) {
  auto* field = qobject_cast<QLineEdit*>(watched);
  if (field == nullptr) return QMainWindow::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::FocusIn:
      if (field == txtFrom_) txtTo_->setEnabled(true);
      QTimer::singleShot(0, field, [field] { field->selectAll(); });
      break;
    case QEvent::FocusOut:
      if (field != enterField_) fieldLeft(field);
      break;
    case QEvent::KeyPress: {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        enterField_ = field;
        const bool used = fieldKey(field, key);
        enterField_ = nullptr;
        if (used) return true;
      }
      break;
    }
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

// Enter (or Esc) in a field; true when the key was used.
bool FrmView::fieldKey(QLineEdit* field, int key) {
  const bool escape = key == Qt::Key_Escape;
  if (escape) {
    if (field == txtConv_) {
      txtConv_->setText(ConvFactorText());
    } else if (field == txtOffset_) {
      txtConv_->setText(ConvFactorText());
      txtOffset_->setText(ConvOffsetText());
    } else {
      return false;
    }
    PicSpec_->setFocus();
    return true;
  }
  if (field == txtChannel_) {
    txtChannelDone();
    PicSpec_->setFocus();
  } else if (field == txtFrom_) {
    txtFromDone();
  } else if (field == txtTo_) {
    txtToDone();
  } else if (field == txtConv_) {
    txtConvDone(true);
  } else if (field == txtOffset_) {
    txtOffsetDone(true);
  } else if (field == txtMultipl_) {
    txtMultiplDone();
    PicSpec_->setFocus();
  }
  return true;
}

void FrmView::fieldLeft(QLineEdit* field) {
  if (field == txtChannel_) {
    txtChannelDone();
  } else if (field == txtFrom_) {
    txtFromDone();
  } else if (field == txtConv_) {
    txtConvDone(false);
  } else if (field == txtOffset_) {
    txtOffsetDone(false);
  } else if (field == txtMultipl_) {
    txtMultiplDone();
  }
}

void FrmView::txtChannelDone() {
  if (doc_.ViewCounts().empty()) return;
  const int c = FieldChannel(Latin1Bytes(txtChannel_->text()), ChNum());
  readoutX_ = std::numeric_limits<float>::quiet_NaN();
  showReadout(c);
}

void FrmView::txtFromDone() {
  if (doc_.ViewCounts().empty()) return;
  const int v = FieldChannel(Latin1Bytes(txtFrom_->text()), ChNum());
  txtFrom_->setText(Text(v));
  perform(doc_.activeRegion().startAt(v));
  txtTo_->setEnabled(true);
  if (enterField_ == txtFrom_) txtTo_->setFocus();
}

void FrmView::txtToDone() {
  if (doc_.ViewCounts().empty()) return;
  const int v = FieldChannel(Latin1Bytes(txtTo_->text()), ChNum());
  txtTo_->setText(Text(v));
  perform(doc_.activeRegion().finishAt(v, shown_, doc_.ViewCounts()));
  PicSpec_->setFocus();
  txtTo_->setEnabled(false);
}

QString FrmView::ConvFactorText() const {
  return doc_.ConvFactor() == 0 ? QString() : QString::fromStdString(SingleText(doc_.ConvFactor()));
}

QString FrmView::ConvOffsetText() const {
  return doc_.ConvOffset() == 0 && txtOffset_->text().isEmpty()
             ? QString()
             : QString::fromStdString(SingleText(doc_.ConvOffset()));
}

void FrmView::txtConvDone(bool enter) {
  const double value = NumericPrefix(Latin1Bytes(txtConv_->text()));
  if (value != 0) {
    txtConv_->setText(QString::fromStdString(SingleText(static_cast<float>(value))));
    if (enter) txtOffset_->setFocus();
  } else {
    txtConv_->setText(ConvFactorText());
    if (enter) PicSpec_->setFocus();
  }
}

void FrmView::txtOffsetDone(bool enter) {
  const double value = NumericPrefix(Latin1Bytes(txtOffset_->text()));
  txtOffset_->setText(QString::fromStdString(SingleText(static_cast<float>(value))));
  DrawSpectrum();
  doc_.setSaveEnabled(true);
  enableCommands();
  if (enter) PicSpec_->setFocus();
}

void FrmView::txtMultiplDone() {
  txtMultipl_->setText(
      QString::fromStdString(FactorText(MultiplicationFactor(Latin1Bytes(txtMultipl_->text())))));
}

}  // namespace durnix
