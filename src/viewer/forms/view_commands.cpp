// SPDX-License-Identifier: GPL-3.0-or-later
// FrmView: Add, Subtract, Compare, the shrinks, Save, "Export picture..." and Copy.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QStringList>

#include "formats/catalogue.h"
#include "formats/text_rules.h"
#include "platform/paths.h"
#include "platform/twips.h"
#include "viewer/arithmetic.h"
#include "viewer/forms/frm_view.h"
#include "viewer/forms/plot_widget.h"
#include "viewer/forms/viewer_dialogs.h"
#include "viewer/save.h"
#include "viewer/shrink.h"

namespace durnix {

namespace {

enum Combination { kAdd, kSubtract, kCompare };

}  // namespace

void FrmView::mnuAdd_Click() {
  combine(kAdd);
}
void FrmView::mnuSubtract_Click() {
  combine(kSubtract);
}
void FrmView::mnuCompare_Click() {
  combine(kCompare);
}

void FrmView::combine(int kind) {
  static const char* const kTitles[] = {"Load add file", "Load Subtract file",
                                        "Load compared file"};
  const QString chosen =
      dialogs_.openSpectrum(this, kTitles[kind], PathText(start_.folder)).trimmed();
  if (chosen.isEmpty()) return;
  const std::string path = PathBytes(chosen);
  if (!files_.Exists(path)) return;  // not readable: nothing to say
  std::vector<std::int32_t> second;
  setBusyPointer(true);
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  const Status status = LoadSecondSpectrum(files_, path, second, prompter_);
  setBusyPointer(false);
  if (status != kDone) return;
  const double factor = MultiplicationFactor(Latin1Bytes(txtMultipl_->text()));
  const std::string name(OwnName(path));
  if (kind == kCompare) {
    if (!ScaleCompared(second, factor)) {
      prompter_.Ask(ChannelOverflowMessage(path), StandardButtons::kOk);
      return;
    }
    SecondCounts_ = std::move(second);
    CompareOn_ = true;
    rebuildTitle(" & " + name);
    DrawSpectrum();
    return;
  }
  if (second.empty()) return;
  const bool fits = kind == kAdd ? AddSpectrum(ViewCounts_, second, factor)
                                 : SubtractSpectrum(ViewCounts_, second, factor);
  if (!fits) {
    // The sum is what does not fit: named as the viewer's own spectrum.
    prompter_.Ask(ChannelOverflowMessage(start_.folder + start_.FileName), StandardButtons::kOk);
    return;
  }
  SecondCounts_ = std::move(second);
  CompareOn_ = false;
  rebuildTitle((kind == kAdd ? " + " : " - ") + name);
  DrawSpectrum();
  refreshReadout();
  mnuSave_->setEnabled(true);
}

// ---- Shrinking -------------------------------------------------------------------------------

bool FrmView::refuseShrink() {
  if (settings_.zoomed) {
    prompter_.Ask(kUnzoomFirst, StandardButtons::kOk);
    return true;
  }
  if (roi_.RoiSet()) {
    prompter_.Ask(kEraseRoiFirst, StandardButtons::kOk);
    return true;
  }
  return false;
}

void FrmView::mnuShAdd_Click() {
  if (refuseShrink()) return;
  shrinkWith(nullptr);
}

void FrmView::mnuShConst_Click() {
  if (refuseShrink()) return;
  const QRect frame = frameGeometry();
  const QPoint topLeft(frame.center().x() - Twips(3200), frame.center().y() - Twips(1000));
  QString answer;
  if (!dialogs_.inputText(this, "Detector Resolution in channel",
                          "Durnix - Detector Resolution Input", topLeft, answer) ||
      answer.trimmed().isEmpty()) {
    return;
  }
  Resolution resolution;
  if (!ParseResolutionValue(Latin1Bytes(answer), resolution.a)) {
    prompter_.Ask(kInvalidDataText, StandardButtons::kOk);
    return;
  }
  shrinkWith(&resolution);
}

void FrmView::mnuShLin_Click() {
  if (refuseShrink()) return;
  askResolution(Resolution::kLinear);
}

void FrmView::mnuShSQR_Click() {
  if (refuseShrink()) return;
  askResolution(Resolution::kQuadratic);
}

void FrmView::askResolution(int kind) {
  const bool quadratic = kind == Resolution::kQuadratic;
  QString a, b, c;
  if (dialogs_.askResolution(this, quadratic ? "SQR(A * ch ^ 2 + B * ch + C)" : "A*ch + B",
                             quadratic, a, b, c) != 1) {
    return;
  }
  Resolution resolution;
  resolution.kind = static_cast<Resolution::Kind>(kind);
  if (!ParseResolutionValue(Latin1Bytes(a), resolution.a) ||
      !ParseResolutionValue(Latin1Bytes(b), resolution.b) ||
      (quadratic && !ParseResolutionValue(Latin1Bytes(c), resolution.c))) {
    prompter_.Ask(kInvalidDataText, StandardButtons::kOk);
    return;
  }
  if (resolution.a == 0 && resolution.b == 0 && (!quadratic || resolution.c == 0)) return;
  shrinkWith(&resolution);
}

// The common frame of the shrinks: the hourglass and the progress bar while the new counts are
// computed, mouse movement over the plot ignored meanwhile.
void FrmView::shrinkWith(const Resolution* resolution) {
  std::vector<std::int32_t> shrunk;
  Busy_ = true;
  PicSpec_->setCursor(Qt::WaitCursor);
  PGBar1_->setRange(0, ChNum());
  PGBar1_->setValue(1);
  PGBar1_->show();
  QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
  ShrinkResult result;
  if (resolution == nullptr) {
    result = TwoChannelAdding(ViewCounts_, shrunk);
  } else {
    const int step = std::max(1, ChNum() / 100);
    result = GaussianShrink(ViewCounts_, *resolution, shrunk, [this, step](int entry) {
      if (entry % step != 0) return;
      PGBar1_->setValue(entry);
      QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
  }
  Busy_ = false;
  PGBar1_->hide();
  PicSpec_->setCursor(Qt::CrossCursor);
  if (result == ShrinkResult::kInvalid) {
    prompter_.Ask(kInvalidDataText, StandardButtons::kOk);
    return;
  }
  if (result == ShrinkResult::kTooLarge) {
    prompter_.Ask(ChannelOverflowMessage(start_.folder + start_.FileName), StandardButtons::kOk);
    return;
  }
  if (result != ShrinkResult::kShrunk) return;
  shrunk.resize(static_cast<std::size_t>(ShrunkChannels(ChNum())));
  ViewCounts_ = std::move(shrunk);
  roi_.reset(ChNum());
  CompareOn_ = false;
  rebuildTitle(" - shrinked");
  DrawSpectrum();
  refreshReadout();
  mnuSave_->setEnabled(true);
}

// ---- Saving ----------------------------------------------------------------------------------

namespace {

QString ProposedName(const std::string& fileName, const FormatInfo& format) {
  return PathText(OwnName(SavedPath(fileName, format)));
}

}  // namespace

void FrmView::mnuSave_Click() {
  const FormatInfo* source = FindFormatByDisplayName(start_.FileType);
  SaveRequest request;
  if (source == nullptr ||
      !RereadSource(files_, start_.folder + start_.FileName, *source, request.header)) {
    prompter_.Ask(kRereadFailed, StandardButtons::kOk);
    return;
  }
  QStringList filters{"All Spectrum files (*.*)"};
  for (int code = 1; code < kFormatCount; ++code) {
    const FormatInfo& format = Format(static_cast<FormatCode>(code));
    const QString mask = Latin1Text(std::string(format.mask));
    filters << Latin1Text(std::string(format.displayName)) + " (" + mask + " " + mask.toLower() +
                   ")";
  }
  const std::string fileName = start_.FileName;
  auto proposedFor = [source, fileName](int line) {
    return ProposedName(fileName, line == 0 ? *source : Format(static_cast<FormatCode>(line)));
  };
  QString chosen;
  int line = 0;
  if (!dialogs_.saveSpectrum(this, PathText(start_.folder), filters, proposedFor(0), proposedFor,
                             chosen, line)) {
    return;
  }
  request.path = PathBytes(chosen.trimmed());
  request.destination = line <= 0 ? source : &Format(static_cast<FormatCode>(line));
  request.source = source;
  request.counts = ViewCounts_;
  request.convText = Latin1Bytes(txtConv_->text());
  request.offsetText = Latin1Bytes(txtOffset_->text());
  const std::string target = SavedPath(request.path, *request.destination);
  if (files_.Exists(target)) {
    if (prompter_.Ask(UpperAscii(target) + " is already exist. Overwrite it ?",
                      StandardButtons::kYesNo, {Question::kOverwrite, {}}) != kAnswerYes) {
      return;
    }
    request.overwrite = true;
  }
  setBusyPointer(true);
  const SaveResult result = SaveSpectrum(files_, std::move(request), prompter_);
  setBusyPointer(false);
  if (!result.message.empty()) {
    // A failure of the system comes with its own description of the error under the message.
    const Asking about{Question::kFileFailed, result.reason};
    prompter_.Ask(result.message, StandardButtons::kOk, about);
  }
  mnuSave_->setEnabled(result.saveStaysEnabled);
}

// ---- Beyond the plot ---------------------------------------------------------------------------

void FrmView::mnuExport_Click() {
  const QString proposed =
      PathText(start_.folder) +
      PathText(WithWriterExtension(start_.FileName, "png", ExtensionRule::kAfterLastDot));
  const QString path = dialogs_.exportPicture(this, proposed);
  if (path.isEmpty()) return;
  if (!writePicture(path)) {
    prompter_.Ask("Disk is not ready or bad media.", StandardButtons::kOk);
  }
}

QString FrmView::regionLine() const {
  if (!roi_.RoiSet()) return {};
  return PathText(start_.FileName) + '\t' + QString::number(roi_.RoiFrom()) + '\t' +
         QString::number(roi_.RoiTo()) + '\t' + lblGross1_->text() + '\t' + lblNet1_->text();
}

void FrmView::mnuCopy_Click() {
  const QString line = regionLine();
  if (!line.isEmpty()) QApplication::clipboard()->setText(line);
}

}  // namespace durnix
