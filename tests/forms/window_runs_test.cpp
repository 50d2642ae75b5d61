// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's conversion at work on its own thread: the window paints and takes keys
// meanwhile, Stop ends the run after the file in hand, and closing the window asks first. A
// folder is read on a worker too.

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "convert/batch.h"
#include "forms_support.h"
#include "platform/network_wait.h"
#include "shell/forms/file_list_model.h"
#include "shell/forms/window_run.h"
#include "support/memory_file_system.h"

using namespace durnix;
using namespace std::chrono_literals;

namespace {

// A disk in memory whose `write`-th new file or copy from now, or the listing of `folder`, waits
// until the test opens the gate; a listing waits 3 s at most.
class GatedFiles : public test::MemoryFileSystem {
 public:
  void closeAt(int write, const std::string& folder = "") {
    std::lock_guard lock(mutex_);
    writes_ = 0;
    gateAt_ = write;
    gatedFolder_ = folder;
    closed_ = true;
  }
  void open() { closed_ = false; }
  bool waiting() const { return waiting_; }
  FileResult CreateFile(const std::string& path, ByteView data) override {
    if (++writes_ == gateAt_) await(24h);
    return MemoryFileSystem::CreateFile(path, data);
  }
  FileResult Copy(const std::string& from, const std::string& to, bool replace) override {
    if (++writes_ == gateAt_) await(24h);
    return MemoryFileSystem::Copy(from, to, replace);
  }

 protected:
  FileResult listFolder(const std::string& folder, std::vector<FileEntry>& entries) override {
    if (gated(folder)) await(3s);
    return MemoryFileSystem::listFolder(folder, entries);
  }

 private:
  bool gated(const std::string& folder) {
    std::lock_guard lock(mutex_);
    return folder == gatedFolder_;
  }
  void await(std::chrono::milliseconds most) {
    waiting_ = true;
    const auto end = std::chrono::steady_clock::now() + most;
    while (closed_ && std::chrono::steady_clock::now() < end) std::this_thread::sleep_for(5ms);
    waiting_ = false;
  }
  std::mutex mutex_;
  std::string gatedFolder_;
  std::atomic<int> gateAt_ = 0, writes_ = 0;
  std::atomic<bool> closed_ = false, waiting_ = false;
};

// Counts the paint events of a widget.
class Seen : public QObject {
 public:
  explicit Seen(QObject* widget) { widget->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++paints;
    return false;
  }
  int paints = 0;
};

// The answers of a script, and what `look` saw as each box came up.
struct Recorder : test::AnswerScript {
  std::function<std::string()> look;
  std::vector<std::string> seen;
  int Ask(const std::string& prompt, StandardButtons buttons, const Asking& about) override {
    seen.push_back(look());
    return AnswerScript::Ask(prompt, buttons, about);
  }
};

// A request of the network that a thread of its own finishes after `ms`.
class LateRequest : public PendingRequest {
 public:
  explicit LateRequest(int ms)
      : worker_([this, ms] {
          std::this_thread::sleep_for(std::chrono::milliseconds(ms));
          std::lock_guard lock(mutex_);
          over_ = true;
          if (wake_) wake_();
          wake_ = nullptr;
        }) {}
  ~LateRequest() override { worker_.join(); }
  bool finished() const override { return over_; }
  void whenFinished(std::function<void()> wake) override {
    std::unique_lock lock(mutex_);
    if (!over_) {
      wake_ = std::move(wake);
      return;
    }
    lock.unlock();
    if (wake) wake();
  }

 private:
  std::mutex mutex_;
  std::atomic<bool> over_ = false;
  std::function<void()> wake_;
  std::thread worker_;
};

const std::string kFolder = "/d/";

std::string nameOf(int i) {
  return QString("f%1.rbs").arg(i, 4, 10, QChar('0')).toStdString();
}

}  // namespace

class WindowRunsTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  std::unique_ptr<GatedFiles> files_;
  Bytes source_;
  Recorder answers_;
  std::unique_ptr<FrmDurnix> window_;

  // `count` spectra f0000.rbs ... in /d/, the window on it converting them into AS1 there.
  void start(int count, std::vector<Place> places = {{"D", kFolder, PlaceKind::kFixed}}) {
    SpectrumRecord record;
    for (int i = 0; i < 300; ++i) record.Counts.push_back(i);
    record.ChannelCount = 300;
    QCOMPARE(Format(FMT_RBS).encode(record, source_), kDone);
    files_->addFolder(kFolder);
    for (int i = 0; i < count; ++i) files_->addFile(kFolder + nameOf(i), source_);
    MainWindowStartup startup;
    startup.files = files_.get();
    window_ = test::OpenWindow(dir_.path(), std::move(places), answers_, startup);
    answers_.look = [this] { return window_->pane(1).lblFile->text().toStdString(); };
    window_->pane(1).CombForm->setCurrentText(
        QString::fromLatin1(Format(FMT_AS1).displayName.data()));
    window_->pane(0).CmdSel->click();
    QCOMPARE(window_->selection(0).count(), count);
  }
  // Starts the run of `button` (the conversion, a copy) on the selection; the `gateAt`-th file
  // waits.
  void runUntil(int gateAt, const char* button = "cmdConv") {
    files_->closeAt(gateAt);
    window_->findChild<QPushButton*>(button)->click();
    QTRY_VERIFY(files_->waiting());
  }

  // The converted files in /d/, each byte for byte the first, which reads back as its source.
  int wholeOutputs() {
    SpectrumRecord first;
    first.FileName = kFolder + "f0000.AS1";
    if (ReadFormat(Format(FMT_AS1), first, *files_) != kDone) return -1;
    if (first.Counts.size() != 300 || first.Counts[299] != 299) return -1;
    const Bytes single = files_->bytesOf(first.FileName);
    int whole = 0;
    for (const std::string& name : files_->namesIn(kFolder)) {
      if (name.size() > 4 && name.compare(name.size() - 4, 4, ".rbs") == 0) continue;
      if (name.size() != 9 || name.compare(5, 4, ".AS1") != 0) return -1;  // no other name
      if (files_->bytesOf(kFolder + name) != single) return -1;
      ++whole;
    }
    return whole;
  }

  QProgressDialog* progress() const {
    return window_->findChild<QProgressDialog*>("ConversionProgress");
  }

 private slots:
  void init() { files_ = std::make_unique<GatedFiles>(); }
  void cleanup() {
    files_->open();
    if (window_) QVERIFY(test::RunEnded(*window_));
    window_.reset();
    answers_.clear();
    answers_.seen.clear();
  }

  // 2000 files, stopped by Escape in the progress window while the 1001st is being written:
  // that one is finished, no other begun; the window painted and took the key meanwhile.
  void aStoppedRunLeavesOnlyWholeFiles() {
    start(2000);
    answers_.expect(kStopped, kAnswerOk);
    runUntil(1001);
    QTRY_VERIFY(progress() != nullptr && progress()->isVisible());
    QCOMPARE(progress()->maximum(), 2000);
    QTRY_COMPARE(progress()->value(), 1000);
    QVERIFY(progress()->labelText().startsWith("f1000.rbs\n1000 of 2000 files"));
    QVERIFY(!window_->centralWidget()->isEnabled());
    Seen seen(progress());
    progress()->update();
    QTRY_VERIFY(seen.paints > 0);
    progress()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(progress()));
    QTest::keyClick(progress(), Qt::Key_Escape);  // Stop, handled while the write waits
    QVERIFY(window_->run()->stopRequested());
    QVERIFY(files_->waiting());
    files_->open();
    QVERIFY(test::RunEnded(*window_));
    DURNIX_VERIFY_ANSWERS(answers_);
    QCOMPARE(wholeOutputs(), 1001);
    // The tally as the run ends with "Conversion is stopped !!".
    QCOMPARE(answers_.seen, std::vector<std::string>{TallyText(1001, 999, 0, true)});
    QVERIFY(window_->centralWidget()->isEnabled());
  }

  // Closing during a run asks: No goes on; Yes stops after the file in hand, then closes, with
  // nothing more to tell.
  void closingDuringARunAsks() {
    start(40);
    const std::string question = "A conversion is running.\nStop it and quit ?";
    answers_.expect(question, StandardButtons::kYesNo, kAnswerNo);
    runUntil(10);
    window_->close();
    DURNIX_VERIFY_ANSWERS(answers_);
    QVERIFY(window_->isVisible());
    QVERIFY(!window_->run()->stopRequested());
    answers_.expect(question, StandardButtons::kYesNo, kAnswerYes);
    window_->close();
    DURNIX_VERIFY_ANSWERS(answers_);
    QVERIFY(window_->isVisible());  // until the file in hand is written
    files_->open();
    QVERIFY(test::RunEnded(*window_));
    QTRY_VERIFY(!window_->isVisible());
    DURNIX_VERIFY_ANSWERS(answers_);
    QCOMPARE(wholeOutputs(), 10);
  }

  // The network wait ends as the request finishes: quickly without its window; later with the
  // window, which goes by itself; on a thread of a run it only waits.
  void theNetworkWaitEndsWhenTheRequestFinishes() {
    QtNetworkWait wait(nullptr);
    int shown = 0;
    test::ShownWatcher watch("NetworkWait", [&](QWidget*) { ++shown; });
    QElapsedTimer clock;
    clock.start();
    for (const int ms : {100, 1200}) {
      LateRequest request(ms);
      QVERIFY(!wait.Wait(request));
      QVERIFY(request.finished());
      QCOMPARE(shown, ms > 1000 ? 1 : 0);
    }
    QVERIFY(clock.elapsed() < 2500);
    // No window, no pointer of the windows is touched from another thread.
    QTest::failOnWarning(QRegularExpression("thread"));
    bool waited = true;
    std::thread run([&] {
      LateRequest late(900);
      waited = wait.Wait(late) || !late.finished();
    });
    QTRY_VERIFY_WITH_TIMEOUT(!waited, 3000);
    run.join();
    QCOMPARE(shown, 1);
  }

  // A folder entered that is slow to read: the window goes on meanwhile, the pane tells it is
  // reading; the user goes up before it is read, and only the folder above is listed, then and
  // after the slow listing ends.
  void aSlowFolderLeavesTheWindowAnswering() {
    files_->addFolder(kFolder + "slow");
    files_->addFile(kFolder + "slow/inside.rbs", source_);
    start(3);
    FilePane& pane = window_->pane(0);
    QSignalSpy listed(&pane, &FilePane::listed);
    files_->closeAt(0, kFolder + "slow/");
    QCOMPARE(test::Select(*window_, 0, {"slow"}), 1);
    emit pane.ListView->doubleClicked(pane.ListView->selectionModel()->selectedRows().front());
    QTRY_VERIFY(files_->waiting());
    QCOMPARE(pane.folder(), kFolder + "slow/");
    QCOMPARE(pane.lblFile->text(), QString("Reading /d/slow/ ..."));
    QCOMPARE(listed.count(), 0);

    QVERIFY(test::Listed(pane, [&] { pane.cmdUp_Click(); }));
    files_->open();
    QVERIFY(!listed.wait(1000));  // the slow listing, when it ends, is dropped
    QCOMPARE(listed.count(), 1);
    QCOMPARE(pane.folder(), kFolder);
    QCOMPARE(pane.model()->rowCountOf(), 4);  // slow, f0000.rbs ... f0002.rbs
    QVERIFY(!pane.model()->contains("inside.rbs"));
  }

  // A folder copy stopped while its 8th file is copied: that copy is finished, no later one
  // begun.
  void aStoppedFolderCopyLeavesOnlyWholeFiles() {
    start(0, {{"D", kFolder, PlaceKind::kFixed}, {"E", "/e/", PlaceKind::kFixed}});
    files_->addFolder("/e/");
    files_->addFolder(kFolder + "runs");
    for (int i = 0; i < 30; ++i) files_->addFile(kFolder + "runs/" + nameOf(i), source_);
    window_->pane(0).CmdRef_Click();
    window_->DriveList_Click(1, 1);
    QCOMPARE(window_->pane(1).folder(), std::string("/e/"));
    QCOMPARE(test::Select(*window_, 0, {"runs"}), 1);
    QCOMPARE(window_->selection(0).count(), 1);
    answers_.expect("Copy cancelled: 8 of 30 files copied", kAnswerOk);
    runUntil(8, "CmdCopy");
    QProgressDialog* copying = window_->findChild<QProgressDialog*>("CopyProgress");
    QTRY_COMPARE(copying->value(), 7);
    QCOMPARE(copying->maximum(), 30);
    copying->findChild<QPushButton*>("cmdStop")->click();
    files_->open();
    QVERIFY(test::RunEnded(*window_));
    DURNIX_VERIFY_ANSWERS(answers_);
    QCOMPARE(files_->namesIn("/e/runs/").size(), std::size_t{8});
    QVERIFY(files_->bytesOf("/e/runs/" + nameOf(7)) == source_);  // the copy in hand, whole
  }
};

QTEST_MAIN(WindowRunsTest)
#include "window_runs_test.moc"
