// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/forms/window_run.h"

#include <QProgressDialog>
#include <QPushButton>
#include <QThread>

#include "platform/twips.h"

namespace durnix {

namespace {

// A run shorter than this shows no progress window.
constexpr int kProgressAfterMs = 500;

}  // namespace

WindowRun::WindowRun(QWidget& window, const QString& progressName, Prompter& prompter)
    : prompter_(*this, prompter) {
  progress_ = new QProgressDialog(&window);
  progress_->setObjectName(progressName);
  progress_->setWindowTitle("Durnix");
  // Not modal: the main window stays reachable, to be moved or closed.
  progress_->setWindowModality(Qt::NonModal);
  progress_->setAutoClose(false);
  progress_->setAutoReset(false);
  progress_->setMinimumWidth(Twips(6000));
  // The dialog's own button, renamed: a button of our own would leave the dialog two Escape
  // shortcuts, and Escape would do nothing.
  progress_->setCancelButtonText("Stop");
  if (auto* stop = progress_->findChild<QPushButton*>()) stop->setObjectName("cmdStop");
  progress_->setMinimumDuration(kProgressAfterMs);
  progress_->setRange(0, 0);
  // A new progress window times itself from its making; this one from the first progress of
  // the work, so that a run that ends at once, or asks first, shows none.
  progress_->reset();
  // The Stop button, the close box and Escape.
  const auto stopping = [this] {
    requestStop();
    if (progress_) progress_->setLabelText("Stopping...");
  };
  connect(progress_, &QProgressDialog::canceled, this, stopping);
  connect(progress_, &QDialog::rejected, this, stopping);
}

WindowRun::~WindowRun() {
  if (thread_ != nullptr) {
    stop_ = true;
    thread_->wait();
    delete thread_;
  }
  delete progress_.data();
}

void WindowRun::start(std::function<void()> work) {
  running_ = true;
  thread_ = QThread::create([this, work = std::move(work)] {
    work();
    running_ = false;
  });
  thread_->setObjectName("WindowRun");
  // Queued to this object: after every call the work sent to the windows' thread.
  connect(thread_, &QThread::finished, this, [this] {
    if (progress_) progress_->hide();
    emit finished();
  });
  thread_->start();
}

bool WindowRun::running() const {
  return running_;
}

void WindowRun::onWindow(const std::function<void()>& call) {
  if (QThread::currentThread() == thread()) {
    call();
    return;
  }
  QMetaObject::invokeMethod(this, call, Qt::BlockingQueuedConnection);
}

void WindowRun::later(std::function<void()> call) {
  QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void WindowRun::showProgress(int done, int total, const QString& text) {
  later([this, done, total, text] {
    if (!progress_ || stop_) return;
    progress_->setRange(0, total);
    progress_->setValue(done);
    progress_->setLabelText(text);
    if (asideShown_) progress_->show();
    asideShown_ = false;
  });
}

void WindowRun::askAside(const std::function<void()>& ask) {
  if (progress_ && progress_->isVisible()) {
    asideShown_ = true;
    progress_->hide();
  }
  ask();
}

int WindowRunPrompter::Ask(const std::string& prompt, StandardButtons buttons,
                           const Asking& about) {
  if (run_.quitting() && buttons == StandardButtons::kOk) return kAnswerOk;
  int answer = kAnswerNone;
  run_.onWindow([&] { run_.askAside([&] { answer = prompter_.Ask(prompt, buttons, about); }); });
  return answer;
}

int WindowRunPrompter::AskExtended(const std::string& prompt, int set, const Asking& about) {
  int answer = kAnswerNone;
  run_.onWindow(
      [&] { run_.askAside([&] { answer = prompter_.AskExtended(prompt, set, about); }); });
  return answer;
}

}  // namespace durnix
