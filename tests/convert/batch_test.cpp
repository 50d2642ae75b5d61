// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/batch.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <numeric>
#include <set>

#include "formats/ascii.h"
#include "formats/catalogue.h"
#include "formats/kodaq.h"
#include "formats/text_rules.h"
#include "support/memory_file_system.h"
#include "support/records.h"
#include "support/scripted.h"

namespace durnix {
namespace {

using test::RecordingHost;
using test::ScriptedPrompter;

constexpr auto kOk = StandardButtons::kOk;
constexpr auto kOkCancel = StandardButtons::kOkCancel;
constexpr auto kYesNoCancel = StandardButtons::kYesNoCancel;
constexpr auto kAbortRetryIgnore = StandardButtons::kAbortRetryIgnore;

// A file system in memory, so that any write or read can be made to fail. Racing, another program
// makes each output file after the run has looked for it and before it writes.
class RacedFileSystem : public test::MemoryFileSystem {
 public:
  bool Exists(const std::string& path) override {
    const bool there = MemoryFileSystem::Exists(path);
    if (racing && !there && raced_.insert(path).second) addFile(path, "another run's file");
    return there;
  }
  bool racing = false;

 private:
  std::set<std::string> raced_;
};

// A script that does `before` as each question is asked.
struct HookedPrompter : ScriptedPrompter {
  std::function<void()> before;
  int Ask(const std::string& p, StandardButtons b, const Asking& about) override {
    before();
    return ScriptedPrompter::Ask(p, b, about);
  }
};

class Batch : public ::testing::Test {
 protected:
  void SetUp() override {
    files_.addFolder(source_);
    files_.addFolder(destination_);
  }

  // Writes a spectrum of `counts` into the source folder as `name` in `format`.
  void put(const std::string& name, FormatCode format, std::vector<std::int32_t> counts,
           const std::string& specId = "") {
    SpectrumRecord record = test::RecordWithCounts(std::move(counts));
    record.SpecId = specId;
    record.FileName = source_ + name;
    Bytes bytes;
    ASSERT_EQ(Format(format).encode(record, bytes), kDone);
    files_.addFile(source_ + name, bytes);
  }

  ConversionRequest request(std::vector<std::string> names, FormatCode to,
                            FormatCode from = FMT_AUTO) {
    ConversionRequest r;
    for (std::string& name : names) r.add(std::move(name), 32);
    r.sourceFolder = source_;
    r.destinationFolder = destination_;
    r.sourceFormat = Format(from).displayName;
    r.destinationFormat = Format(to).displayName;
    return r;
  }

  // Runs `r` after the questions the script holds; a run that tells `end` at last has it as its
  // summary too ("" for a run that tells nothing).
  ConversionResult run(const ConversionRequest& r, const std::string& end) {
    return run(r, end, prompter_, host_);
  }
  ConversionResult run(const ConversionRequest& r, const std::string& end,
                       ScriptedPrompter& prompter, RecordingHost& host) {
    if (!end.empty()) prompter.expect(end, kOk, kAnswerOk);
    ConversionResult result = RunConversion(r, files_, stamp_, arming_, prompter, host);
    prompter.verify();
    EXPECT_EQ(result.summary, end);
    return result;
  }

  SpectrumRecord readBack(const std::string& name, FormatCode format) {
    SpectrumRecord record;
    record.FileName = destination_ + name;
    EXPECT_EQ(ReadFormat(Format(format), record, files_), kDone) << name;
    return record;
  }

  std::string upper(const std::string& name) const { return UpperAscii(source_ + name); }
  std::string notFound(const std::string& name) const {
    return upper(name) + " not found or disk not ready !";
  }
  static std::string exists(const std::string& name) {
    return name + " is already exist. Overwrite it ?";
  }

  RacedFileSystem files_;
  std::string source_ = "/data/source/", destination_ = "/data/destination/";
  StampData stamp_;
  AxisArming arming_;
  ScriptedPrompter prompter_;
  RecordingHost host_;
};

std::vector<std::int32_t> ramp(int n, std::int32_t step = 1) {
  std::vector<std::int32_t> counts;
  for (int i = 0; i < n; ++i) counts.push_back(i * step);
  return counts;
}

TEST_F(Batch, NothingSelectedAndTheParentEntryAlone) {
  prompter_.expect("No files are selected !!", kOk, kAnswerOk);
  run(request({}, FMT_AS1), "");
  EXPECT_TRUE(host_.tallies.empty());
  run(request({".."}, FMT_AS1), "");  // nothing at all
  EXPECT_EQ(prompter_.questions().size(), 1u);
}

TEST_F(Batch, ConvertsEveryFileAndTalliesAfterEach) {
  put("a.rbs", FMT_RBS, ramp(300), "first");
  // Names may end in blanks: the entry is the file of that very name.
  put("b.as2 ", FMT_AS2, ramp(1024));
  put("b.as2", FMT_AS2, ramp(1024, 3));
  ConversionRequest r = request({"a.rbs", "b.as2 ", "sub"}, FMT_AS1);
  r.selection[2].attributes = 16;  // a folder: passed over, counted as converted
  const ConversionResult result = run(r, kCompleted);
  EXPECT_EQ(result.converted, 3);
  EXPECT_EQ(result.failed, 0);
  EXPECT_EQ(host_.tallies,
            (std::vector<std::string>{"    Converted : 1  Remained : 2    Failed :  0",
                                      "    Converted : 2  Remained : 1    Failed :  0",
                                      "    Converted : 3  Remained : 0    Failed :  0"}));
  EXPECT_EQ(host_.sourceStatus[0], "Now a.rbs is being converted !!");
  EXPECT_EQ(host_.sourceStatus[1], "Now b.as2 is being converted !!");
  EXPECT_EQ(host_.sourceStatus.back(), "");
  EXPECT_FALSE(host_.busy);
  EXPECT_EQ(host_.refills, 3);
  EXPECT_EQ(host_.refreshes, 1);
  EXPECT_EQ(readBack("a.AS1", FMT_AS1).Counts, ramp(300));
  EXPECT_EQ(readBack("b.AS1", FMT_AS1).Counts, ramp(1024));
  // A spectrum without identifier gets the program's.
  EXPECT_EQ(files_.bytesOf(destination_ + "b.AS1").substr(0, 34),
            "REM Converted using Durnix v1.52\r\n");
  EXPECT_EQ(files_.bytesOf(destination_ + "a.AS1").substr(0, 11), "REM first\r\n");
  // What became of each entry.
  ASSERT_EQ(host_.outcomes.size(), 3u);
  EXPECT_EQ(host_.outcomes[1].source, source_ + "b.as2 ");
  EXPECT_EQ(host_.outcomes[1].format, "ASCII without channel (AS2)");
  EXPECT_EQ(host_.outcomes[1].destination, destination_ + "b.AS1");
  EXPECT_EQ(host_.outcomes[1].status, kDone);
  EXPECT_TRUE(host_.outcomes[2].folder);
}

// A host that asks the run to stop once `after` entries are done with.
class StoppingHost : public RecordingHost {
 public:
  explicit StoppingHost(int after) : after_(after) {}
  void EntryBegins(int index, int count, const std::string& name) override {
    begun.push_back(std::to_string(index) + "/" + std::to_string(count) + " " + name);
  }
  bool StopRequested() override { return static_cast<int>(outcomes.size()) >= after_; }
  std::vector<std::string> begun;

 private:
  int after_;
};

TEST_F(Batch, AStopEndsTheRunBetweenTwoFiles) {
  const std::vector<std::string> names = {"a.rbs", "b.rbs", "c.rbs", "d.rbs"};
  for (const std::string& name : names) put(name, FMT_RBS, ramp(300));
  StoppingHost host(2);
  const ConversionResult result = run(request(names, FMT_AS1), kStopped, prompter_, host);
  EXPECT_TRUE(result.stopped);
  EXPECT_EQ(result.converted, 2);
  EXPECT_EQ(host.begun, (std::vector<std::string>{"0/4 a.rbs", "1/4 b.rbs"}));
  EXPECT_EQ(host.tallies.back(), "    Converted : 2  Remained : 2    Failed :  0 (stopped)");
  EXPECT_FALSE(host.busy);
  EXPECT_EQ(host.refreshes, 1);
  EXPECT_EQ(readBack("b.AS1", FMT_AS1).Counts, ramp(300));
  EXPECT_FALSE(files_.Exists(destination_ + "c.AS1"));
  // Not asked before the last entry: a stop changes nothing.
  StoppingHost late(4);
  EXPECT_FALSE(run(request({"c.rbs", "d.rbs"}, FMT_AS1), kCompleted, prompter_, late).stopped);
}

TEST_F(Batch, AnOutputFileIsNeverReplacedUnasked) {
  put("run.01.chn", FMT_CHN, ramp(1024));
  put("run.02.chn", FMT_CHN, ramp(1024, 2));
  put("run.rbs", FMT_RBS, ramp(300));
  // The second file would become the first one's output: the question says so by its kind.
  prompter_.expect(exists("run.RBS"), kYesNoCancel, kAnswerNo)
      .expect(exists("run.RBS"), kYesNoCancel, kAnswerNo);
  ConversionResult result =
      run(request({"run.01.chn", "run.02.chn", "run.rbs"}, FMT_RBS), kStopped);
  EXPECT_EQ(prompter_.questions()[0].question, Question::kOverwriteSameRun);
  EXPECT_EQ(readBack("run.RBS", FMT_RBS).Counts, ramp(1024));
  EXPECT_EQ(result.converted, 1);
  EXPECT_EQ(result.failed, 2);
  EXPECT_EQ(host_.outcomes[1].status, kSkipped);
  EXPECT_EQ(host_.outcomes[1].answer, kAnswerNo);
  // A file that was there before the run is an ordinary question.
  prompter_.expect(exists("run.RBS"), kYesNoCancel, kAnswerNo);
  run(request({"run.02.chn"}, FMT_RBS), kStopped);
  EXPECT_EQ(prompter_.questions()[3].question, Question::kOverwrite);

  // The writer names CANBERRA files .MCA, and the list's mask may hide them: the disk decides.
  // Cancel stops the run, and a cancelled run is not reported as completed.
  put("two.rbs", FMT_RBS, ramp(300));
  files_.addFile(destination_ + "run.MCA", "keep me");
  files_.addFile(destination_ + "two.MCA", "replace me");
  prompter_.expect(exists("two.MCA"), kYesNoCancel, kAnswerYes)
      .expect(exists("run.MCA"), kYesNoCancel, kAnswerCancel);
  run(request({"two.rbs", "run.01.chn"}, FMT_CANBERRA), kStopped);
  EXPECT_EQ(readBack("two.MCA", FMT_CANBERRA).Counts, ramp(300));
  EXPECT_EQ(files_.bytesOf(destination_ + "run.MCA"), "keep me");

  // A file made meanwhile by another run is asked about as any existing file, and the run goes
  // on with the next file.
  for (const char* name : {"a.rbs", "b.rbs"}) put(name, FMT_RBS, ramp(1024));
  files_.racing = true;
  prompter_.expect(exists("a.CHN"), kYesNoCancel, kAnswerNo)
      .expect(exists("b.CHN"), kYesNoCancel, kAnswerYes);
  result = run(request({"a.rbs", "b.rbs"}, FMT_CHN), kCompleted);
  EXPECT_EQ(files_.bytesOf(destination_ + "a.CHN"), "another run's file");
  EXPECT_EQ(readBack("b.CHN", FMT_CHN).Counts, ramp(1024));
  EXPECT_EQ(result.converted, 1);
}

TEST_F(Batch, ReadingFailuresAskToGoOnOrStop) {
  put("film.rbs", FMT_RBS, ramp(300));
  files_.addFile(source_ + "text.txt", "nothing to see\n");
  put("pixe.rbs", FMT_RBS, ramp(300));
  // Make the last one a PIXE file: its type-16 record becomes type 290.
  Bytes pixe = files_.bytesOf(source_ + "pixe.rbs");
  std::size_t at = 20;
  while (bytes::u32be(pixe, at + 4) != 16) at += 4 * bytes::u32be(pixe, at);
  pixe[at + 6] = 1;
  pixe[at + 7] = 0x22;
  files_.addFile(source_ + "pixe.rbs", pixe);

  prompter_.expect(upper("text.txt") + " is unknown format !!", kOkCancel, kAnswerOk)
      .expect(upper("pixe.rbs") + " is for PIXE or NRA file !!", kOkCancel, kAnswerOk);
  // OK on the last failure sets the status back to 0: the run counts as completed.
  ConversionResult result = run(request({"text.txt", "film.rbs", "pixe.rbs"}, FMT_AS2), kCompleted);
  EXPECT_EQ(result.converted, 1);
  EXPECT_EQ(result.failed, 2);

  prompter_.expect(upper("film.rbs") + " has not CANBERRA (SPC) format !!", kOkCancel,
                   kAnswerCancel);
  result = run(request({"film.rbs", "pixe.rbs"}, FMT_AS2, FMT_CANBERRA), kStopped);
  EXPECT_EQ(result.converted, 0);
  EXPECT_TRUE(host_.tallies.size() == 3u);  // nothing after the cancelled file
}

TEST_F(Batch, MissingFilesCanBeRetriedIgnoredOrAbortTheRun) {
  put("here.rbs", FMT_RBS, ramp(300));
  prompter_.expect(notFound("late.rbs"), kAbortRetryIgnore, kAnswerRetry)
      .expect(notFound("late.rbs"), kAbortRetryIgnore, kAnswerIgnore);
  // Ignored on the last file: the run ends as stopped.
  ConversionResult result = run(request({"here.rbs", "late.rbs"}, FMT_AS1), kStopped);
  EXPECT_EQ(prompter_.questions()[0].question, Question::kRetryRead);
  EXPECT_EQ(prompter_.questions()[0].reason, "No such file or directory");
  EXPECT_EQ(result.converted, 1);

  // The file turns up while the question is open: Retry reads it.
  files_.Remove(destination_ + "here.AS1");
  HookedPrompter appear;
  appear.before = [&] {
    if (!files_.hasFile(source_ + "late.rbs")) put("late.rbs", FMT_RBS, ramp(300, 2));
  };
  appear.expect(notFound("late.rbs"), kAbortRetryIgnore, kAnswerRetry);
  result = run(request({"late.rbs"}, FMT_AS1), kCompleted, appear, host_);
  EXPECT_EQ(result.converted, 1);
  EXPECT_EQ(readBack("late.AS1", FMT_AS1).Counts, ramp(300, 2));

  prompter_.expect(notFound("gone.rbs"), kAbortRetryIgnore, kAnswerAbort);
  const int refreshes = host_.refreshes;
  result = run(request({"gone.rbs", "late.rbs"}, FMT_AS2), kStopped);
  EXPECT_EQ(result.converted, 0);
  EXPECT_GE(host_.refreshes, refreshes + 1);

  // A file that opens but cannot be read (a share gone away) is a file not found, not a file
  // of another format.
  files_.failRead(source_ + "here.rbs", EIO);
  prompter_.expect(notFound("here.rbs"), kAbortRetryIgnore, kAnswerIgnore);
  const std::size_t asked = prompter_.questions().size();
  run(request({"here.rbs"}, FMT_AS2, FMT_RBS), kStopped);
  EXPECT_EQ(prompter_.questions()[asked].reason, "Input/output error");
}

TEST_F(Batch, WritingFailuresAndTheirRetry) {
  put("big.rbs", FMT_RBS, std::vector<std::int32_t>(300, 65536));
  put("ok.rbs", FMT_RBS, ramp(300));
  const std::string destination = UpperAscii(destination_);
  prompter_.expect("Some channel of " + destination + "BIG.RBS is overflowed !!", kOkCancel,
                   kAnswerOk);
  ConversionResult result = run(request({"big.rbs", "ok.rbs"}, FMT_KODAQ), kCompleted);
  EXPECT_FALSE(files_.hasFile(destination_ + "big.SPC"));
  EXPECT_EQ(result.converted, 1);

  // A full disk: the system's reason comes with the message, and Retry after space was made
  // writes the file.
  files_.setCapacity(static_cast<long long>(files_.bytesOf(source_ + "big.rbs").size() +
                                            files_.bytesOf(source_ + "ok.rbs").size() +
                                            files_.bytesOf(destination_ + "ok.SPC").size()));
  HookedPrompter free;
  free.before = [&] { files_.setCapacity(-1); };
  free.expect("Disk is not ready or bad media.", kAbortRetryIgnore, kAnswerRetry);
  result = run(request({"ok.rbs"}, FMT_AS2), kCompleted, free, host_);
  EXPECT_EQ(free.questions()[0].question, Question::kRetryWrite);
  EXPECT_EQ(free.questions()[0].reason, "No space left on device");
  EXPECT_EQ(result.converted, 1);
  EXPECT_EQ(readBack("ok.AS2", FMT_AS2).Counts, ramp(300));
}

TEST_F(Batch, ChannelCountsThatTheFormatDoesNotHoldAsk) {
  put("short.rbs", FMT_RBS, ramp(512));
  put("long.rbs", FMT_RBS, ramp(2048));
  put("exact.rbs", FMT_RBS, ramp(1024));
  const std::string notLong = "long.rbs has not 1024 channel. Continue ?";
  prompter_.expect("short.rbs has not 1024 channel. Continue ?", kYesNoCancel, kAnswerYes)
      .expect(notLong, kYesNoCancel, kAnswerNo);
  ConversionResult result =
      run(request({"short.rbs", "long.rbs", "exact.rbs"}, FMT_NCL), kCompleted);
  EXPECT_TRUE(files_.hasFile(destination_ + "short.NCL"));
  EXPECT_FALSE(files_.hasFile(destination_ + "long.NCL"));  // No: skipped, counted as failed
  EXPECT_EQ(result.failed, 1);
  prompter_.expect(notLong, kYesNoCancel, kAnswerCancel);
  run(request({"long.rbs", "exact.rbs"}, FMT_SNF), kStopped);
  EXPECT_FALSE(files_.hasFile(destination_ + "exact.SNF"));

  // Too few channels for a format overflow nothing: the message says what the format holds.
  put("few.rbs", FMT_RBS, ramp(300));
  prompter_.expect(
      UpperAscii(destination_) +
          "FEW.CHN has 300 channels; EG&G Maestro II (CHN) holds 511 to 16384 channels.",
      kOkCancel, kAnswerOk);
  run(request({"few.rbs"}, FMT_CHN), kStopped);
  EXPECT_FALSE(files_.hasFile(destination_ + "few.CHN"));
}

TEST_F(Batch, OxfordCountsKeep24BitsOutsideTheOxfordFormats) {
  std::vector<std::int32_t> counts(300, 5);
  counts[0] = 0x01000007;
  counts[1] = -1;
  put("old.spm", FMT_SPM, counts);
  run(request({"old.spm"}, FMT_AS1), kCompleted);
  const SpectrumRecord as1 = readBack("old.AS1", FMT_AS1);
  EXPECT_EQ(as1.count(1), 7);
  EXPECT_EQ(as1.count(2), 0xFFFFFF);
  run(request({"old.spm"}, FMT_SPT, FMT_SPM), kCompleted);
  EXPECT_EQ(readBack("old.SPT", FMT_SPT).Counts, counts);

  // From ASCII or CANBERRA, Oxford files take 24-bit counts only.
  put("wide.as1", FMT_AS1, counts);
  prompter_.expect("Some channel of " + UpperAscii(destination_) + "WIDE.AS1 is overflowed !!",
                   kOkCancel, kAnswerOk);
  run(request({"wide.as1"}, FMT_SPM), kStopped);
  EXPECT_FALSE(files_.hasFile(destination_ + "wide.SPM"));
}

TEST_F(Batch, UnknownFormatsAndAxisValues) {
  put("a.rbs", FMT_RBS, ramp(300));
  ConversionRequest r = request({"a.rbs"}, FMT_AS1);
  r.sourceFormat = "Nonsense";
  prompter_.expect("Nonsense is unknown format !!", kOkCancel, kAnswerOk);
  run(r, kStopped);
  r = request({"a.rbs", "a.rbs"}, FMT_AS1);
  r.destinationFormat = "Nonsense";
  prompter_.expect("Nonsense is unknown format !!", kOk, kAnswerOk);
  const std::size_t tallies = host_.tallies.size();
  run(r, kStopped);
  EXPECT_EQ(host_.tallies.size(), tallies);  // the run ended at the first file

  arming_.timeToEnergy = true;  // mass and efficiency 0
  prompter_.expect("The value of Mass or Efficiency is not valid !!", kOk, kAnswerOk);
  run(request({"a.rbs"}, FMT_AS1), kStopped);
  EXPECT_FALSE(arming_.armed());  // disarmed by the run, whatever happened

  // Energies below 0 on an energy-to-time run: the program's own words, and the run goes on.
  arming_.energyToTime = true;
  arming_.axis = {4, 100, 1e6, 1, -1000, 2300, true};
  prompter_
      .expect("The axis conversion of " + upper("a.rbs") + " went out of range !!", kOkCancel,
              kAnswerOk)
      .expect(notFound("missing.rbs"), kAbortRetryIgnore, kAnswerIgnore);
  run(request({"a.rbs", "missing.rbs"}, FMT_AS1), kStopped);
}

TEST_F(Batch, StampQuestionAndItsFiveAnswers) {
  for (const char* name : {"1.as1", "2.as1", "3.as1", "4.as1"}) put(name, FMT_AS1, ramp(300));
  ConversionRequest r = request({"1.as1", "2.as1", "3.as1", "4.as1"}, FMT_RBS);
  r.stampMode = true;
  r.stampConfirm = true;
  stamp_.BeamMeV = 2.0f;
  stamp_.Mass = 4.0026f;
  stamp_.CalGain = 2.5f;
  int edits = 0;
  host_.onEdit = [&] { stamp_.BeamMeV = 3.0f + static_cast<float>(edits++); };
  // Yes, then No (the editor, modal), then No All: the editor for this and every later file.
  prompter_.expectExtended(kStampQuestion, kSetYesNoMany, kAnswerYes)
      .expectExtended(kStampQuestion, kSetYesNoMany, kAnswerNo)
      .expectExtended(kStampQuestion, kSetYesNoMany, kAnswerNoAll);
  run(r, kCompleted);
  EXPECT_EQ(host_.events_, (std::vector<std::string>{"show", "close", "show", "edit", "show",
                                                     "edit", "show", "edit"}));
  EXPECT_EQ(readBack("1.RBS", FMT_RBS).BeamMeV, 2.0f);
  EXPECT_EQ(readBack("2.RBS", FMT_RBS).BeamMeV, 3.0f);
  const SpectrumRecord last = readBack("4.RBS", FMT_RBS);
  EXPECT_EQ(last.BeamMeV, 5.0f);
  EXPECT_EQ(last.Mass, 4.0026f);
  EXPECT_EQ(last.CalGain, 2.5f);

  // Yes All stops the questions; the last file gets the one-file set.
  for (const char* name : {"1.RBS", "2.RBS", "3.RBS", "4.RBS"}) files_.Remove(destination_ + name);
  host_.events_.clear();
  r.selection.resize(2);
  prompter_.expectExtended(kStampQuestion, kSetYesNoMany, kAnswerYesAll);
  run(r, kCompleted);
  EXPECT_EQ(host_.events_, (std::vector<std::string>{"show", "close"}));
  r.selection.resize(1);
  prompter_.expectExtended(kStampQuestion, kSetYesNoLast, kAnswerCancel);
  run(r, "");  // Cancel ends the run without a summary
  EXPECT_FALSE(host_.busy);
}

// The charge of a SENRAS stamp is per charge state (checked at charge state 2 by the CLI tests).
TEST_F(Batch, SenrasStampChargeAndCalibration) {
  put("s.as1", FMT_AS1, ramp(300));
  ConversionRequest r = request({"s.as1"}, FMT_SEN);
  r.stampMode = true;
  r.stampConfirm = false;
  stamp_.ChargeUC = 30;
  stamp_.ChargeState = 0;
  stamp_.CalGain = 7;
  stamp_.Mass = 12;
  run(r, kCompleted);
  const SpectrumRecord sen = readBack("s.SEN", FMT_SEN);
  EXPECT_EQ(stamp_.ChargeState, 1);  // stored as 1 in the stamp data
  EXPECT_EQ(sen.ChargeUC, 30.0f);
  EXPECT_EQ(sen.CalGain, 7.0f);
  EXPECT_EQ(sen.Mass, 0.0f);  // SENRAS carries no mass
}

TEST_F(Batch, KodaqItemsDoNotTravelFromOneFileToTheNext) {
  SpectrumRecord kodaq = test::RecordWithCounts(ramp(512));
  kodaq.KodaqId = "ID07";
  kodaq.KodaqMem = "mem7";
  kodaq.FileName = source_ + "k.spc";
  ASSERT_EQ(WriteKodaq(kodaq, files_), kDone);
  put("plain.as1", FMT_AS1, ramp(512));
  run(request({"k.SPC", "plain.as1"}, FMT_KODAQ), kCompleted);
  EXPECT_EQ(readBack("k.SPC", FMT_KODAQ).KodaqMem, "mem7");
  const SpectrumRecord plain = readBack("plain.SPC", FMT_KODAQ);
  EXPECT_EQ(plain.KodaqMem, "MEM1");
  EXPECT_EQ(plain.KodaqId, std::string(4, '\0'));
}

TEST_F(Batch, ARetriedWriteTransformsTheSpectrumOnce) {
  SpectrumRecord tof = test::RecordWithCounts(std::vector<std::int32_t>(256, 0));
  tof.Counts[1] = 6;
  tof.FileName = source_ + "tof";
  ASSERT_EQ(WriteAS1(tof, files_), kDone);
  arming_.timeToEnergy = true;
  arming_.axis = {1, 100, 0, 1, 10, -15, true};
  // The first write fails; the second goes through.
  files_.addFile(destination_ + "tof.AS2", "old");
  files_.failWrite(1, EIO);
  prompter_.expect(exists("tof.AS2"), kYesNoCancel, kAnswerYes)
      .expect("Disk is not ready or bad media.", kAbortRetryIgnore, kAnswerRetry)
      .expect(exists("tof.AS2"), kYesNoCancel, kAnswerYes);
  ASSERT_EQ(run(request({"tof.AS1"}, FMT_AS2), kCompleted).converted, 1);
  // Channel 2 lies above one channel width: all its counts land in the last channel, once.
  const SpectrumRecord back = readBack("tof.AS2", FMT_AS2);
  EXPECT_EQ(back.count(256), 6);
  EXPECT_EQ(std::accumulate(back.Counts.begin(), back.Counts.end(), 0), 6);
}

}  // namespace
}  // namespace durnix
