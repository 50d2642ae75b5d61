// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A long command of the main window (a conversion, a copy or move) at work on a thread of its
// own, so that the windows go on painting and moving. The work reaches the windows only through
// the run: calls that need an answer (a question, the stamp editor, a list read anew) run on the
// windows' thread while the work waits; what is only shown (status lines, new rows, progress) is
// sent there and the work goes on. A progress window shows how far the work is and offers Stop;
// the work looks at the stop request between two entries.

#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <functional>

#include "convert/prompter.h"

class QProgressDialog;
class QThread;
class QWidget;

namespace durnix {

class WindowRun;

// The questions of the work, asked on the windows' thread by `prompter`; once the program quits
// the messages that only tell (OK alone) are no longer shown.
class WindowRunPrompter : public Prompter {
 public:
  WindowRunPrompter(WindowRun& run, Prompter& prompter) : run_(run), prompter_(prompter) {}
  int Ask(const std::string& prompt, StandardButtons buttons, const Asking& about = {}) override;
  int AskExtended(const std::string& prompt, int set, const Asking& about = {}) override;

 private:
  WindowRun& run_;
  Prompter& prompter_;
};

class WindowRun : public QObject {
  Q_OBJECT

 public:
  // `window` owns the progress window, named `progressName` ("ConversionProgress"); `prompter`
  // asks the work's questions.
  WindowRun(QWidget& window, const QString& progressName, Prompter& prompter);
  // Waits for the work to end.
  ~WindowRun() override;

  // Runs `work` on the run's thread; finished() follows on the windows' thread, after everything
  // the work sent there.
  void start(std::function<void()> work);
  bool running() const;
  // Who asks the work's questions, on the work's thread.
  Prompter& prompter() { return prompter_; }

  // Stop: the work ends at its next look. Quitting: the run is stopped because the program
  // ends, and tells nothing more.
  void requestStop() { stop_ = true; }
  bool stopRequested() const { return stop_; }
  void setQuitting() {
    quitting_ = true;
    stop_ = true;
  }
  bool quitting() const { return quitting_; }

  // Runs `call` on the windows' thread and returns when it has returned (at once when called
  // there).
  void onWindow(const std::function<void()>& call);
  // Sends `call` to the windows' thread.
  void later(std::function<void()> call);
  // From the work: the progress window shows `done` of `total` and `text`.
  void showProgress(int done, int total, const QString& text);
  // On the windows' thread: asks `ask` with the progress window out of the way; it comes back
  // with the next progress of the work.
  void askAside(const std::function<void()>& ask);

 signals:
  void finished();

 private:
  WindowRunPrompter prompter_;
  QPointer<QProgressDialog> progress_;
  QThread* thread_ = nullptr;
  std::atomic<bool> stop_{false};
  std::atomic<bool> quitting_{false};
  std::atomic<bool> running_{false};
  bool asideShown_ = false;  // the progress window was in view when a question came
};

}  // namespace durnix
