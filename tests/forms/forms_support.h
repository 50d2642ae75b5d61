// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers of the window tests: the answer script, spectra and files to work on, the main
// window's lists and runs, and dialogs answered in the user's place.

#include <QtTest>
#include <QtWidgets>

#include "convert/preferences.h"
#include "formats/catalogue.h"
#include "formats/spectrum_record.h"
#include "platform/paths.h"
#include "shell/forms/file_pane.h"
#include "shell/forms/frm_durnix.h"
#include "support/answer_script.h"
#include "viewer/forms/viewer_dialogs.h"

// Fails the test when the script went otherwise than written.
#define DURNIX_VERIFY_ANSWERS(script) \
  QVERIFY2((script).problems().empty(), (script).report().c_str())

namespace durnix::test {

// The window tests see neither the user's configuration nor an installed Durnix.
inline const bool kStandardPathsInTestMode = [] {
  QStandardPaths::setTestModeEnabled(true);
  return true;
}();

// Writes a spectrum of `channels` counts as `name` in `format`.
inline void WriteSpectrum(const QString& path, FormatCode format, int channels, int step = 1) {
  SpectrumRecord record;
  for (int i = 0; i < channels; ++i) record.Counts.push_back(i * step);
  record.ChannelCount = static_cast<std::int16_t>(channels);
  Bytes bytes;
  Format(format).encode(record, bytes);
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

inline bool WriteAll(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

// A durnix.cfg in `programFolder` that starts the panes on `source` and `destination`.
inline bool SaveFolders(const QString& programFolder, const QString& source,
                        const QString& destination, Preferences prefs = {}) {
  prefs.SourceFolder = PathBytes(source) + "/";
  prefs.DestinationFolder = PathBytes(destination) + "/";
  return SaveConfig(prefs, PathBytes(programFolder + "/durnix.cfg"), LocalFiles()) == kDone;
}

// The main window, shown, keeping its files in `programFolder`, on `places`, asking `prompter`;
// `startup` gives the rest.
inline std::unique_ptr<FrmDurnix> OpenWindow(const QString& programFolder,
                                             std::vector<Place> places, Prompter& prompter,
                                             MainWindowStartup startup = {}) {
  startup.programFolder = programFolder;
  startup.places = std::move(places);
  startup.prompter = &prompter;
  auto window = std::make_unique<FrmDurnix>(startup);
  window->show();
  return window;
}

// Does `move` on `pane` (a refresh, a folder entered, another place) and waits until the pane
// shows its list again: the folder is read on a worker.
template <class Pane, class Move>
bool Listed(Pane& pane, Move&& move) {
  QSignalSpy listed(&pane, &Pane::listed);
  move();
  return listed.count() > 0 || listed.wait(10000);
}

// True once the window's run (a conversion, copy or move, on a thread of its own) has ended, at
// once when none works; false after `ms`.
inline bool RunEnded(FrmDurnix& window, int ms = 20000) {
  if (window.run() == nullptr) return true;
  QSignalSpy ended(&window, &FrmDurnix::runFinished);
  return ended.wait(ms);
}

// The rows of a pane as its list shows them: "File Name", then "." and "Ext" when there is one
// (a folder's name begins with a space).
inline QStringList Rows(FrmDurnix& window, int pane) {
  const QAbstractItemModel* model = window.pane(pane).ListView->model();
  QStringList out;
  for (int i = 0; i < model->rowCount(); ++i) {
    const QString ext = model->index(i, 1).data().toString();
    out << model->index(i, 0).data().toString() + (ext.isEmpty() ? "" : "." + ext);
  }
  return out;
}

// Selects the rows of a pane named `names` (folders without their space), the last of them
// current; returns how many it selected.
inline int Select(FrmDurnix& window, int pane, const QStringList& names) {
  QTreeView* list = window.pane(pane).ListView;
  list->clearSelection();
  const QStringList rows = Rows(window, pane);
  int selected = 0;
  for (int i = 0; i < rows.size(); ++i) {
    if (!names.contains(rows[i].trimmed())) continue;
    const QModelIndex index = list->model()->index(i, 0);
    list->selectionModel()->select(index, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    ++selected;
  }
  return selected;
}

// Calls `shown` with every widget named `name` as it is shown.
class ShownWatcher : public QObject {
 public:
  ShownWatcher(const QString& name, std::function<void(QWidget*)> shown)
      : name_(name), shown_(std::move(shown)) {
    qApp->installEventFilter(this);
  }
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::Show && object->objectName() == name_ && object->isWidgetType()) {
      shown_(static_cast<QWidget*>(object));
    }
    return false;
  }

 private:
  QString name_;
  std::function<void(QWidget*)> shown_;
};

// The viewer's dialogs and the input box, answered from what the test sets beforehand.
class ScriptedDialogs : public ViewerDialogs {
 public:
  QString open;             // the file Add, Subtract and Compare choose
  QString savePath;         // the save dialog's answer; empty: Cancel
  int saveLine = 0;         // its filter line
  QString proposed;         // what the save dialog proposed
  QStringList saveFilters;  // its lines
  QString input;            // the input box's answer; empty: Cancel
  QStringList resolution;   // A, B, C of frmResol; empty: Cancel
  QStringList titles;       // the open dialogs' titles, the input box's prompts, the formulas
  QStringList inputs;       // the input box as "title: prompt", and the text it started with
  QString openSpectrum(QWidget*, const QString& title, const QString&) override {
    titles << title;
    return open;
  }
  bool saveSpectrum(QWidget*, const QString&, const QStringList& filters, const QString& name,
                    const std::function<QString(int)>& nameFor, QString& path,
                    int& filter) override {
    saveFilters = filters;
    proposed = saveLine == 0 ? name : nameFor(saveLine);
    path = savePath;
    filter = saveLine;
    return !savePath.isEmpty();
  }
  bool inputText(QWidget*, const QString& prompt, const QString& title, QPoint,
                 QString& answer) override {
    titles << prompt;
    inputs << title + ": " + prompt << answer;
    answer = input;
    return !input.isEmpty();
  }
  int askResolution(QWidget*, const QString& formula, bool, QString& a, QString& b,
                    QString& c) override {
    titles << formula;
    if (resolution.isEmpty()) return 2;
    a = resolution.value(0);
    b = resolution.value(1);
    c = resolution.value(2);
    return 1;
  }
  QString exportPicture(QWidget*, const QString&) override { return {}; }
};

}  // namespace durnix::test
