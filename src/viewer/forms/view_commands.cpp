// SPDX-License-Identifier: GPL-3.0-or-later
// FrmView: Add, Subtract, Compare, the shrinks, Save, "Export picture..." and Copy.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFutureWatcher>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPromise>
#include <QStringList>
#include <QtConcurrent/QtConcurrentRun>
#include <optional>
#include <utility>

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

void FrmView::mnuAdd_Click() {
  combine(Combination::kAdd);
}
void FrmView::mnuSubtract_Click() {
  combine(Combination::kSubtract);
}
void FrmView::mnuCompare_Click() {
  combine(Combination::kCompare);
}

void FrmView::combine(Combination kind) {
  static const char* const kTitles[] = {"Load add file", "Load Subtract file",
                                        "Load compared file"};
  if (!doc_.Enabled(ViewerCommand::kAdd)) return;
  const QString chosen =
      dialogs_.openSpectrum(this, kTitles[static_cast<int>(kind)], PathText(start_.folder))
          .trimmed();
  if (chosen.isEmpty()) return;
  const std::string path = PathBytes(chosen);
  if (!files_.Exists(path)) return;  // not readable: nothing to say
  std::vector<std::int32_t> second;
  setBusyPointer(true);
  const Status status = LoadSecondSpectrum(files_, path, second, prompter_);
  setBusyPointer(false);
  if (status != kDone) return;
  const double factor = MultiplicationFactor(Latin1Bytes(txtMultipl_->text()));
  const CombineResult result =
      doc_.Combine(kind, std::move(second), factor, std::string(OwnName(path)));
  if (result == CombineResult::kOverflow) {
    // Compare names the compared file; a sum that does not fit is named as the viewer's own
    // spectrum.
    const std::string named =
        kind == Combination::kCompare ? path : start_.folder + start_.FileName;
    prompter_.Ask(ChannelOverflowMessage(named), StandardButtons::kOk);
    return;
  }
  if (result != CombineResult::kCombined) return;
  showZoom();
  DrawSpectrum();
  if (kind != Combination::kCompare) refreshReadout();
  enableCommands();
}

// ---- Shrinking -------------------------------------------------------------------------------

bool FrmView::refuseShrink() {
  if (!doc_.Enabled(ViewerCommand::kShrink)) return true;
  const std::string refusal = doc_.Refusal(ViewerCommand::kShrink);
  if (refusal.empty()) return false;
  prompter_.Ask(refusal, StandardButtons::kOk);
  return true;
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

// The common frame of the shrinks: the new counts are computed on a worker from a copy of the
// counts, the hourglass and the progress bar meanwhile, mouse movement over the plot ignored and
// the commands that would change the spectrum disabled until shrinkDone takes the result.
void FrmView::shrinkWith(const Resolution* resolution) {
  doc_.setBusy(true);
  enableCommands();
  PicSpec_->setCursor(Qt::WaitCursor);
  PGBar1_->setRange(0, ChNum());
  PGBar1_->setValue(1);
  PGBar1_->show();
  stopShrink_ = false;
  std::optional<Resolution> sigma;
  if (resolution != nullptr) sigma = *resolution;
  const int step = std::max(1, ChNum() / 100);
  shrinkWatcher_ = new QFutureWatcher<ShrinkOutcome>(this);
  connect(shrinkWatcher_, &QFutureWatcherBase::progressValueChanged, PGBar1_,
          &QProgressBar::setValue);
  connect(shrinkWatcher_, &QFutureWatcherBase::finished, this, &FrmView::shrinkDone);
  shrinkWatcher_->setFuture(
      QtConcurrent::run([counts = doc_.ViewCounts(), sigma, step,
                         stop = &stopShrink_](QPromise<ShrinkOutcome>& promise) {
        ShrinkOutcome outcome;
        promise.setProgressRange(0, static_cast<int>(counts.size()));
        outcome.result = ViewerDocument::ComputeShrink(
            counts, sigma ? &*sigma : nullptr, outcome.counts,
            [&promise, step](int entry) {
              if (entry % step == 0) promise.setProgressValue(entry);
            },
            stop);
        promise.addResult(std::move(outcome));
      }));
}

void FrmView::shrinkDone() {
  QFutureWatcher<ShrinkOutcome>* watcher = std::exchange(shrinkWatcher_, nullptr);
  ShrinkOutcome outcome;
  outcome.result = ShrinkResult::kInterrupted;
  if (watcher->future().resultCount() > 0) outcome = watcher->result();
  watcher->deleteLater();
  doc_.setBusy(false);
  PGBar1_->hide();
  PicSpec_->setCursor(Qt::CrossCursor);
  enableCommands();
  if (outcome.result == ShrinkResult::kInvalid) {
    prompter_.Ask(kInvalidDataText, StandardButtons::kOk);
  } else if (outcome.result == ShrinkResult::kTooLarge) {
    prompter_.Ask(ChannelOverflowMessage(start_.folder + start_.FileName), StandardButtons::kOk);
  } else if (outcome.result == ShrinkResult::kShrunk) {
    doc_.ApplyShrink(std::move(outcome.counts));
    showZoom();
    DrawSpectrum();
    refreshReadout();
    enableCommands();
  }
  emit shrinkFinished();
}

// Closing during a shrink: the worker is told to stop and waited for; its result is dropped.
void FrmView::stopShrink() {
  if (shrinkWatcher_ == nullptr) return;
  stopShrink_ = true;
  shrinkWatcher_->disconnect();
  shrinkWatcher_->waitForFinished();
  delete std::exchange(shrinkWatcher_, nullptr);
  doc_.setBusy(false);
}

// ---- Saving ----------------------------------------------------------------------------------

namespace {

QString ProposedName(const std::string& fileName, const FormatInfo& format) {
  return PathText(OwnName(SavedPath(fileName, format)));
}

}  // namespace

void FrmView::mnuSave_Click() {
  if (doc_.Busy()) return;
  const FormatInfo* source = FindFormatByDisplayName(start_.FileType);
  SaveRequest request;
  if (source == nullptr ||
      !RereadSource(files_, start_.folder + start_.FileName, *source, request.header)) {
    prompter_.Ask(kRereadFailed, StandardButtons::kOk);
    return;
  }
  QStringList filters{"All Spectrum files (*.*)"};
  // Line N is the format of code N: the formats without a writer come last in the catalogue.
  for (int code = 1; code < kFormatCount; ++code) {
    const FormatInfo& format = Format(static_cast<FormatCode>(code));
    if (!format.writable()) break;
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
  request.counts = doc_.ViewCounts();
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
  doc_.setSaveEnabled(result.saveStaysEnabled);
  enableCommands();
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
  if (!doc_.Enabled(ViewerCommand::kCopy)) return {};
  return PathText(start_.FileName) + '\t' + QString::number(doc_.activeRegion().RoiFrom()) + '\t' +
         QString::number(doc_.activeRegion().RoiTo()) + '\t' + lblGross1_->text() + '\t' +
         lblNet1_->text();
}

void FrmView::mnuCopy_Click() {
  const QString line = regionLine();
  if (!line.isEmpty()) QApplication::clipboard()->setText(line);
}

}  // namespace durnix
