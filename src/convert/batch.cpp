// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/batch.h"

#include <cerrno>

#include "convert/read_messages.h"
#include "durnix/version.h"
#include "formats/catalogue.h"
#include "formats/detection.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

constexpr std::int32_t kLow24Bits = 0xFFFFFF;

bool isOxford(std::string_view format) {
  return format == Format(FMT_SPT).displayName || format == Format(FMT_SPM).displayName;
}

bool isOneOf(std::string_view format, std::initializer_list<FormatCode> codes) {
  for (FormatCode code : codes) {
    if (format == Format(code).displayName) return true;
  }
  return false;
}

bool countsWithin(const SpectrumRecord& record, std::int32_t low, std::int32_t high) {
  for (std::int32_t count : record.Counts) {
    if (count < low || count > high) return false;
  }
  return true;
}

std::string withoutTrailingBlanks(const std::string& text) {
  const auto end = text.find_last_not_of(' ');
  return end == std::string::npos ? std::string() : text.substr(0, end + 1);
}

// The files this run has written, by path: a later file of the run must not replace one of
// them unnoticed. Kept as hashes beside the number of the entry that wrote each (8 bytes a file),
// so a run of 20000 files keeps no second list of names; a hash that matches is checked against
// the path.
class WrittenTargets {
 public:
  void add(const std::string& path, std::uint32_t entry) {
    if ((used_ + 1) * 4 > slots_.size() * 3) grow();
    insert(hashOf(path), entry);
    ++used_;
  }
  // Calls `pathOf(entry)` for the entries whose hash matches, until one gives `path`.
  template <class PathOf>
  bool contains(const std::string& path, PathOf&& pathOf) const {
    if (slots_.empty()) return false;
    const std::uint32_t hash = hashOf(path);
    for (std::size_t i = hash & (slots_.size() - 1);; i = (i + 1) & (slots_.size() - 1)) {
      const Slot& slot = slots_[i];
      if (slot.entry == kEmpty) return false;
      if (slot.hash == hash && pathOf(slot.entry) == path) return true;
    }
  }

 private:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFF;
  struct Slot {
    std::uint32_t hash = 0;
    std::uint32_t entry = kEmpty;
  };
  static std::uint32_t hashOf(const std::string& path) {
    return static_cast<std::uint32_t>(std::hash<std::string>{}(path));
  }
  void insert(std::uint32_t hash, std::uint32_t entry) {
    std::size_t i = hash & (slots_.size() - 1);
    while (slots_[i].entry != kEmpty) i = (i + 1) & (slots_.size() - 1);
    slots_[i] = {hash, entry};
  }
  void grow() {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(old.empty() ? 64 : old.size() * 2, Slot{});
    for (const Slot& slot : old) {
      if (slot.entry != kEmpty) insert(slot.hash, slot.entry);
    }
  }
  std::vector<Slot> slots_;
  std::size_t used_ = 0;
};

// One Convert command, step by step.
class Run {
 public:
  Run(const ConversionRequest& request, FileSystem& files, StampData& stamp, AxisArming& arming,
      Prompter& prompter, ConversionHost& host)
      : req_(request),
        files_(files),
        stamp_(stamp),
        arming_(arming),
        prompter_(prompter),
        host_(host) {}

  ConversionResult go() {
    const auto& selection = req_.selection;
    if (selection.empty()) {
      prompter_.Ask(kNoFilesSelected, StandardButtons::kOk, {Question::kRunEnds, {}});
      arming_.disarm();
      return result_;
    }
    if (selection.size() == 1 && selection[0].name == "..") {
      arming_.disarm();
      return result_;
    }
    destination_ = FindFormatByDisplayName(req_.destinationFormat);
    stampAsk_ =
        isOneOf(req_.destinationFormat, {FMT_RBS, FMT_SEN}) && req_.stampMode && req_.stampConfirm;
    const int n = static_cast<int>(selection.size());
    for (int i = 1; i <= n; ++i) {
      entryIndex_ = static_cast<std::uint32_t>(i - 1);
      if (i > 1 && host_.StopRequested()) {
        result_.stopped = true;
        host_.SetDestinationStatus(
            TallyText(result_.converted, result_.remained, result_.failed, true));
        return finish(true);
      }
      host_.EntryBegins(i - 1, n, std::string(selection[entryIndex_].fileName()));
      const Next next = entry(selection[entryIndex_], i == n);
      if (next != Next::kEndWithoutSummary) host_.FileDone(outcome_);
      if (next == Next::kEndWithoutSummary) return finish(false);
      if (next == Next::kEnd) return finish(true);
      result_.remained = n - i;
      result_.failed = i - result_.converted;
      host_.SetDestinationStatus(TallyText(result_.converted, result_.remained, result_.failed));
      host_.RefillDestinationList();
    }
    return finish(true);
  }

 private:
  enum class Next { kEntry, kEnd, kEndWithoutSummary };

  ConversionResult finish(bool withSummary) {
    host_.SetBusy(false);
    host_.SetSourceStatus("");
    if (withSummary) {
      result_.summary =
          status_ == kDone && result_.converted >= 1 && !result_.stopped ? kCompleted : kStopped;
      prompter_.Ask(result_.summary, StandardButtons::kOk, {Question::kSummary, {}});
      host_.RefreshBothLists();
    }
    arming_.disarm();
    result_.status = status_;
    result_.lastAnswer = lastAnswer_;
    return result_;
  }

  // Step 1: the stamp question before each file.
  bool stampQuestion(bool last) {
    if (stampEditAll_) {
      host_.ShowStampData();
      host_.EditStampDataModal();
      return true;
    }
    if (!stampAsk_) return true;
    host_.ShowStampData();
    lastAnswer_ = prompter_.AskExtended(kStampQuestion, last ? kSetYesNoLast : kSetYesNoMany,
                                        {Question::kStampData, {}});
    switch (lastAnswer_) {
      case kAnswerYes:
        host_.CloseStampEditor();
        return true;
      case kAnswerYesAll:
        stampAsk_ = false;
        host_.CloseStampEditor();
        return true;
      case kAnswerNo:
        host_.EditStampDataModal();
        return true;
      case kAnswerNoAll:
        stampEditAll_ = true;
        host_.EditStampDataModal();
        return true;
      default:
        host_.CloseStampEditor();
        return false;
    }
  }

  Next entry(const SelectedEntry& e, bool last) {
    outcome_ = FileOutcome();
    if (!stampQuestion(last)) return Next::kEndWithoutSummary;
    host_.SetBusy(true);
    host_.SetSourceStatus("Now " + withoutTrailingBlanks(std::string(e.fileName())) +
                          " is being converted !!");
    for (;;) {  // again from here when the user retries a file that was not found
      record_.CalGain = 0;
      record_.CalOffset = 0;
      // The name as the file system has it: names may begin or end in blanks.
      record_.FileName = e.path(req_.sourceFolder);
      outcome_.source = record_.FileName;
      if (IsFolderEntry(e.attributes)) {
        outcome_.folder = true;
        ++result_.converted;
        return Next::kEntry;
      }
      read();
      const Next next = convert(std::string(e.fileName()));
      if (next != Next::kEntry || status_ != kRetryRead) return next;
    }
  }

  // Steps 5 to 7.
  void read() {
    status_ = kDone;
    record_.SpecId.clear();
    record_.AcqDate.clear();
    record_.AcqTime.clear();
    record_.clearSpectrum();
    // The KODAQ items of one file must not travel into another.
    record_.KodaqId.clear();
    record_.KodaqMem.clear();
    std::string detected;
    source_.clear();
    FileResult read{kSourceUnknown, 0};
    if (req_.sourceFormat == Format(FMT_AUTO).displayName) {
      read = DetectAndRead(files_, record_, detected, input_, req_.spectrum);
      source_ = detected;
    } else if (const FormatInfo* format = FindFormatByDisplayName(req_.sourceFormat)) {
      read = ReadFormat(files_, *format, record_, input_, req_.spectrum);
      if (read == kDone) source_ = req_.sourceFormat;
    }
    status_ = read;
    if (status_ == kCannotOpen) reason_ = SystemErrorText(read.error);
    outcome_.format = source_;
    if (status_ == kDone && isOxford(source_) && !isOxford(req_.destinationFormat)) {
      for (std::int32_t& count : record_.Counts) count &= kLow24Bits;
    }
  }

  // Steps 8 to 13 for a file read; again from step 8 when the user retries a failed write.
  Next convert(const std::string& name) {
    SpectrumRecord beforeAxis;
    int appeared = 0;  // times the target was made by someone else between the look and the write
    for (bool retried = false;; retried = true) {
      if (retried && arming_.armed()) record_ = beforeAxis;  // the transform starts afresh
      lastAnswer_ = kAnswerNone;
      placing_ = Placing::kNewOnly;
      if (status_ == kDone && destination_ != nullptr) {
        // The file the writer will write, by its own naming rule, whatever the list shows.
        const std::string target = targetOf(name);
        outcome_.destination = target;
        if (files_.Exists(target)) {
          placing_ = Placing::kReplace;
          const Question question =
              written_.contains(target,
                                [&](std::uint32_t entry) {
                                  return targetOf(std::string(req_.selection[entry].fileName()));
                                })
                  ? Question::kOverwriteSameRun
                  : Question::kOverwrite;
          lastAnswer_ = ask(std::string(OwnName(target)) + " is already exist. Overwrite it ?",
                            StandardButtons::kYesNoCancel, question);
          if (lastAnswer_ == kAnswerNo) status_ = kSkipped;
          if (lastAnswer_ == kAnswerCancel) return cancelled();
        }
      }
      if (status_ == kDone && arming_.armed()) {
        beforeAxis = record_;
        if (arming_.timeToEnergy) status_ = TimeToEnergy(record_, arming_.axis);
        if (status_ == kDone && arming_.energyToTime) status_ = EnergyToTime(record_, arming_.axis);
      }
      if (status_ == kDone) {
        record_.FileName = req_.destinationFolder + name;
        if (record_.SpecId.empty())
          record_.SpecId = std::string("Converted using Durnix v") + kProgramVersion;
        const Next next = write(name);
        if (next != Next::kEntry) return next;
        // Another program (another run into the same folder) made the file since the look: it
        // is an existing file like any other, asked about again rather than a failed write.
        if (status_ == kCannotCreate && placing_ == Placing::kNewOnly && writeError_ == EEXIST &&
            ++appeared <= kMaxAppeared) {
          reason_.clear();
          status_ = kDone;
          continue;
        }
      }
      const Next next = act();
      if (next != Next::kEntry || status_ != kRetryWrite) return next;
      status_ = kDone;
    }
  }

  // Step 11 and the writer's part of step 12.
  Next write(const std::string& name) {
    if (destination_ == nullptr) {
      status_ = kDestUnknown;
      return Next::kEntry;
    }
    switch (destination_->code) {
      case FMT_NCL:
      case FMT_SNF:
        if (record_.ChannelCount != 1024) {
          lastAnswer_ = ask(name + " has not 1024 channel. Continue ?",
                            StandardButtons::kYesNoCancel, Question::kNot1024Channels);
          if (lastAnswer_ == kAnswerCancel) return cancelled();
          if (lastAnswer_ == kAnswerNo) {
            status_ = kSkipped;
            return Next::kEntry;
          }
        }
        break;
      case FMT_KODAQ:
        if (!countsWithin(record_, 0, 65535)) {
          status_ = kDoesNotFit;
          return Next::kEntry;
        }
        break;
      case FMT_SPT:
      case FMT_SPM:
        if (isOneOf(source_, {FMT_AS1, FMT_AS2, FMT_CANBERRA}) &&
            !countsWithin(record_, 0, kLow24Bits)) {
          status_ = kDoesNotFit;
          return Next::kEntry;
        }
        break;
      case FMT_SEN:
        if (req_.stampMode) StampSenras(stamp_, !arming_.armed(), record_);
        break;
      case FMT_RBS:
        if (req_.stampMode) StampRump(stamp_, !arming_.armed(), record_);
        break;
      default:
        break;
    }
    const FileResult written = WriteFormat(files_, *destination_, record_, output_, placing_);
    status_ = written;
    writeError_ = written.error;
    outcome_.destination = record_.FileName;
    if (status_ == kCannotCreate) reason_ = SystemErrorText(written.error);
    if (status_ == kDone) {
      written_.add(record_.FileName, entryIndex_);
      outcome_.bytesWritten = static_cast<long long>(output_.size());
    }
    if (status_ != kDone && status_ != kDoesNotFit && status_ != kOutOfMemory &&
        status_ != kSkipped && status_ != kCannotCreate) {
      status_ = kInternalFault;
    }
    return Next::kEntry;
  }

  // Cancel at a question ends the run; the file in hand was not converted.
  Next cancelled() {
    status_ = kSkipped;
    return Next::kEnd;
  }

  // Step 13: the status table.
  Next act() {
    std::string message =
        RunMessage(status_, record_.FileName, req_.sourceFormat, req_.destinationFormat);
    // A spectrum with more or fewer channels than the format holds overflowed nothing: the
    // message says what does not fit.
    if (int low = 0, high = 0; status_ == kDoesNotFit && destination_ != nullptr &&
                               ChannelRangeOf(*destination_, low, high) &&
                               (record_.ChannelCount < low || record_.ChannelCount > high)) {
      message = ChannelRangeMessage(record_.FileName, record_.ChannelCount, *destination_);
    }
    outcome_.status = status_;
    std::string reason;
    std::swap(reason, reason_);
    switch (status_) {
      case kDone:
        ++result_.converted;
        return Next::kEntry;
      case kSkipped:
        return Next::kEntry;
      case kInternalFault:
      case kOutOfMemory:
      case kDestUnknown:
      case kBadAxisValues:
        ask(message, StandardButtons::kOk, Question::kRunEnds);
        return Next::kEnd;
      case kCannotOpen:
        lastAnswer_ = ask(message, StandardButtons::kAbortRetryIgnore, Question::kRetryRead,
                          std::move(reason));
        if (lastAnswer_ == kAnswerRetry) {
          status_ = kRetryRead;
          return Next::kEntry;
        }
        if (lastAnswer_ == kAnswerAbort) {
          host_.RefreshBothLists();
          return Next::kEnd;
        }
        return Next::kEntry;
      case kCannotCreate:
        lastAnswer_ = ask(message, StandardButtons::kAbortRetryIgnore, Question::kRetryWrite,
                          std::move(reason));
        if (lastAnswer_ == kAnswerRetry) {
          status_ = kRetryWrite;
          return Next::kEntry;
        }
        return lastAnswer_ == kAnswerAbort ? Next::kEnd : Next::kEntry;
      default:  // 1, 2, 3, 4, 6, 200
        lastAnswer_ = ask(message, StandardButtons::kOkCancel, Question::kFileFailed);
        if (lastAnswer_ != kAnswerOk) return Next::kEnd;
        status_ = kDone;
        return Next::kEntry;
    }
  }

  // Asks about the file in hand; the outcome keeps the last question and its answer.
  int ask(const std::string& prompt, StandardButtons buttons, Question question,
          std::string reason = {}) {
    const int answer = prompter_.Ask(prompt, buttons, {question, std::move(reason)});
    outcome_.question = question;
    outcome_.answer = answer;
    return answer;
  }

  std::string targetOf(const std::string& name) const {
    return WithWriterExtension(req_.destinationFolder + name, destination_->extension,
                               destination_->extensionRule);
  }

  // Internal marks of the two retry paths (never reported).
  static constexpr Status kRetryRead = -53;
  static constexpr Status kRetryWrite = -71;
  // A file that keeps appearing under the name is reported as a failed write after this.
  static constexpr int kMaxAppeared = 3;

  const ConversionRequest& req_;
  FileSystem& files_;
  StampData& stamp_;
  AxisArming& arming_;
  Prompter& prompter_;
  ConversionHost& host_;
  const FormatInfo* destination_ = nullptr;
  SpectrumRecord record_;  // one record for the whole run
  Bytes input_;            // the file read, and the file written: their memory serves every file
  Bytes output_;
  WrittenTargets written_;
  FileOutcome outcome_;
  std::uint32_t entryIndex_ = 0;
  std::string reason_;  // the system's words for the last failure to open or to write
  int writeError_ = 0;  // the system's error number of the last write
  std::string source_;  // the source format as chosen, or as detected
  Status status_ = kDone;
  Placing placing_ = Placing::kNewOnly;  // whether the write of the file in hand may replace one
  int lastAnswer_ = kAnswerNone;
  bool stampAsk_ = false;
  bool stampEditAll_ = false;
  ConversionResult result_;
};

}  // namespace

bool IsFolderEntry(int attributes) {
  return (attributes >= 16 && attributes <= 23) || attributes >= 48;
}

std::string TallyText(int converted, int remained, int failed, bool stopped) {
  return "    Converted :" + NumberText(converted) + "  Remained :" + NumberText(remained) +
         "    Failed : " + NumberText(failed) + (stopped ? " (stopped)" : "");
}

std::string RunMessage(Status status, const std::string& fileName, const std::string& sourceFormat,
                       const std::string& destinationFormat) {
  return StatusMessage(MessageContext::kConversion, status, fileName, sourceFormat,
                       destinationFormat);
}

ConversionResult RunConversion(const ConversionRequest& request, FileSystem& files,
                               StampData& stamp, AxisArming& arming, Prompter& prompter,
                               ConversionHost& host) {
  return Run(request, files, stamp, arming, prompter, host).go();
}

}  // namespace durnix
