// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers of the window tests: a prompter that answers from a script and notes what it did not
// expect, and folders with spectra to work on.

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <deque>
#include <string>
#include <vector>

#include "convert/prompter.h"
#include "formats/catalogue.h"
#include "formats/spectrum_record.h"

namespace durnix::test {

class AnswerScript : public Prompter {
 public:
  AnswerScript& expect(const std::string& prompt, int answer) {
    script_.push_back({prompt, answer, false});
    return *this;
  }
  AnswerScript& expectExtended(const std::string& prompt, int set, int answer) {
    script_.push_back({prompt, answer, true, set});
    return *this;
  }
  int Ask(const std::string& prompt, StandardButtons) override { return take(prompt, false, 0); }
  int AskExtended(const std::string& prompt, int set) override { return take(prompt, true, set); }

  // Everything that went against the script; empty when all went as written.
  std::vector<std::string> problems() const {
    std::vector<std::string> all = problems_;
    for (const Step& step : script_) all.push_back("not asked: " + step.prompt);
    return all;
  }
  std::string report() const {
    std::string text;
    for (const std::string& p : problems()) text += p + "\n";
    return text;
  }

 private:
  struct Step {
    std::string prompt;
    int answer;
    bool extended;
    int set = 0;
  };
  int take(const std::string& prompt, bool extended, int set) {
    if (script_.empty()) {
      problems_.push_back("unexpected: " + prompt);
      return kAnswerCancel;
    }
    const Step step = script_.front();
    script_.pop_front();
    if (step.prompt != prompt || step.extended != extended || (extended && step.set != set)) {
      problems_.push_back("asked \"" + prompt + "\" instead of \"" + step.prompt + "\"");
    }
    return step.answer;
  }
  std::deque<Step> script_;
  std::vector<std::string> problems_;
};

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

}  // namespace durnix::test
