// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/forms/viewer_windows.h"

#include <QApplication>
#include <QFileDialog>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QScreen>

#include "convert/forms/frm_rump.h"
#include "platform/paths.h"
#include "platform/qt_prompter.h"
#include "platform/twips.h"
#include "platform/window_sizes.h"
#include "viewer/forms/frm_resol.h"
#include "viewer/forms/viewer_dialogs.h"

namespace durnix {

namespace {

// A viewer's own message boxes: they come up over the viewer and give it back the focus when
// they close. It goes with the viewer, whose child it is.
class ViewerPrompter : public QObject, public Prompter {
 public:
  int Ask(const std::string& prompt, StandardButtons buttons, const Asking& about) override {
    return QtPrompter(window()).Ask(prompt, buttons, about);
  }
  int AskExtended(const std::string& prompt, int set, const Asking& about) override {
    return QtPrompter(window()).AskExtended(prompt, set, about);
  }

 private:
  QWidget* window() const { return qobject_cast<QWidget*>(parent()); }
};

}  // namespace

ViewerWindows::~ViewerWindows() {
  for (const QPointer<QWidget>& window : opened_) delete window.data();
}

void ViewerWindows::ViewSpectrum(const std::string& folder, const std::vector<std::string>& names,
                                 const std::vector<int>& attributes, const Preferences& prefs,
                                 const std::string& sourceFormat) {
  prefs_ = &prefs;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  struct RestorePointer {
    ~RestorePointer() { QApplication::restoreOverrideCursor(); }
  } restore;
  last_ = nullptr;
  ViewSpectra(files_, folder, names, attributes, sourceFormat, prompter_, *this);
  // The messages of the command belong to the main window; the last viewer comes out on top.
  if (last_ != nullptr) {
    last_->raise();
    last_->activateWindow();
  }
}

void ViewerWindows::OpenViewer(ViewedSpectrum& spectrum) {
  const int number = numbering_.next();
  const SpectrumRecord& record = spectrum.record;
  const QPoint shift(Twips(400.0 * (spectrum.position - 1)),
                     Twips(300.0 * (spectrum.position - 1)));

  const FormatCode code = spectrum.format->code;
  if (code == FMT_RBS || code == FMT_SEN) {
    auto* header = new FrmRump(nullptr, FrmRump::Mode::kView);
    header->setAttribute(Qt::WA_DeleteOnClose);
    header->setWindowTitle(PathText(RumpViewCaption(number, spectrum.fileName)));
    header->move(header->pos() + shift);
    const HeaderKind kind = code == FMT_RBS ? HeaderKind::kRump : HeaderKind::kSenras;
    header->showHeader(record, kind);
    header->field("txtDate")->setText(Latin1Text(record.AcqDate + " / " + record.AcqTime));
    if (kind == HeaderKind::kSenras) {
      for (const char* name : {"txtMass", "txtIon", "txtCurrent"}) {
        header->field(name)->setText("Not used");
      }
    }
    header->onClosed = [this, number] { RumpViewOpen_[static_cast<std::size_t>(number)] = false; };
    RumpViewWindows_[Slot(number)] = header;
    opened_.emplace_back(header);
    header->show();
    RumpViewOpen_[static_cast<std::size_t>(number)] = true;
  }

  ViewerStart start;
  start.FileName = spectrum.fileName;
  start.FileType = std::string(spectrum.format->displayName);
  start.counts = record.Counts;
  if (prefs_ != nullptr) {
    start.DefLow = prefs_->LowerLimitIndex;
    start.DefRan = prefs_->RangeIndex;
    start.DotRad = prefs_->DotSize;
    start.DotCol = prefs_->DotColour;
  }
  start.MyCaption = ViewerCaption(number, spectrum.fileName);
  start.folder = spectrum.folder;
  start.specId = record.SpecId;
  start.date = record.AcqDate;
  start.time = record.AcqTime;
  start.realTime = record.RealTime;
  start.liveTime = record.LiveTime;
  start.calGain = record.CalGain;
  start.calOffset = record.CalOffset;
  if (code == FMT_RBS || code == FMT_SEN) {
    start.rumpHeader = record;
    start.rumpHeader->Counts.clear();
  }
  start.elementDatabase = elementDatabase_;
  // With real message boxes, a viewer's questions are its own; scripted answers stay shared.
  ViewerPrompter* own =
      dynamic_cast<QtPrompter*>(&prompter_) != nullptr ? new ViewerPrompter : nullptr;
  auto* view = new FrmView(std::move(start), files_, own != nullptr ? *own : prompter_, dialogs_);
  if (own != nullptr) own->setParent(view);
  QObject::connect(view, &FrmView::closed, view,
                   [this, view] { viewerClosed(view->windowTitle()); });
  QObject::connect(view, &FrmView::activated, view, [this, view] { active_ = view; });
  ViewerWindows_[Slot(number)] = view;
  std::erase_if(opened_, [](const QPointer<QWidget>& window) { return window.isNull(); });
  opened_.emplace_back(view);
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    const QSize size = view->size() + QSize(Twips(120), Twips(420));
    view->move(area.x() + std::max(0, (area.width() - size.width()) / 2) + shift.x(),
               area.y() + std::max(0, (area.height() - size.height()) / 2) + shift.y());
  }
  view->show();
  last_ = view;
  active_ = view;
}

void ViewerWindows::markInViewer(const QString& symbol) {
  FrmView* view = active_ ? active_.data() : last_.data();
  if (view == nullptr) {
    prompter_.Ask("No spectrum is open: View Spectrum opens one to mark the element in.",
                  StandardButtons::kOk);
    return;
  }
  view->markElement(symbol);
  view->raise();
  view->activateWindow();
}

// A viewer's header window closes with it: its number is the title's first word.
void ViewerWindows::viewerClosed(const QString& title) {
  const int number = ViewerNumberOfTitle(PathBytes(title));
  if (number < 1 || number > kViewerSlots) return;
  if (RumpViewOpen_[static_cast<std::size_t>(number)]) {
    if (FrmRump* header = RumpViewWindows_[Slot(number)]) header->close();
  }
  RumpViewOpen_[static_cast<std::size_t>(number)] = false;
}

// ---- The real dialogs --------------------------------------------------------------------------

namespace {

class PlatformDialogs : public ViewerDialogs {
 public:
  QString openSpectrum(QWidget* parent, const QString& title, const QString& folder) override {
    return ChooseOpenFile(parent, title, folder, "Spectrum files (*)");
  }

  bool saveSpectrum(QWidget* parent, const QString& folder, const QStringList& filters,
                    const QString& proposed, const std::function<QString(int)>& proposedFor,
                    QString& path, int& filter) override {
    QFileDialog dialog(parent, "Save Spectrum", folder);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setNameFilters(filters);
    // The overwrite question is asked for the name the writer gives the file.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.selectFile(proposed);
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
                     [&dialog, &filters, &proposedFor](const QString& selected) {
                       dialog.selectFile(proposedFor(static_cast<int>(filters.indexOf(selected))));
                     });
    FitSizeColumn(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = dialog.selectedFiles().front();
    filter = static_cast<int>(filters.indexOf(dialog.selectedNameFilter()));
    return true;
  }

  bool inputText(QWidget* parent, const QString& prompt, const QString& title, QPoint topLeft,
                 QString& answer) override {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(answer);  // the default text
    FitTitle(dialog);
    dialog.move(topLeft);
    if (dialog.exec() != QDialog::Accepted) return false;
    answer = dialog.textValue();
    return true;
  }

  int askResolution(QWidget* parent, const QString& formula, bool showC, QString& a, QString& b,
                    QString& c) override {
    return FrmResol::Instance().ask(parent, formula, showC, a, b, c);
  }

  QString exportPicture(QWidget* parent, const QString& proposed) override {
    return ChooseSaveFile(parent, "Export picture", proposed,
                          "PNG picture (*.png);;SVG picture (*.svg)");
  }
  QString exportTable(QWidget* parent, const QString& proposed) override {
    return ChooseSaveFile(parent, "Export regions", proposed, "CSV file (*.csv)");
  }
};

}  // namespace

ViewerDialogs& PlatformViewerDialogs() {
  static PlatformDialogs dialogs;
  return dialogs;
}

}  // namespace durnix
