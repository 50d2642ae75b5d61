// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A prompter that answers from a script and notes every question it did not expect, for the
// GoogleTest and the Qt Test programs alike.

#include <deque>
#include <string>
#include <vector>

#include "convert/prompter.h"

namespace durnix::test {

class AnswerScript : public Prompter {
 public:
  // The next question must be `prompt` (exactly) in the standard box, with `buttons` when they
  // are given; it is answered `answer`.
  AnswerScript& expect(std::string prompt, StandardButtons buttons, int answer) {
    script_.push_back({std::move(prompt), static_cast<int>(buttons), false, answer});
    return *this;
  }
  AnswerScript& expect(std::string prompt, int answer) {
    script_.push_back({std::move(prompt), kAnyButtons, false, answer});
    return *this;
  }
  // The next question must be `prompt` in the extended box with `set`.
  AnswerScript& expectExtended(std::string prompt, int set, int answer) {
    script_.push_back({std::move(prompt), set, true, answer});
    return *this;
  }

  int Ask(const std::string& prompt, StandardButtons buttons, const Asking& about) override {
    questions_.push_back(about);
    return take(prompt, static_cast<int>(buttons), false);
  }
  int AskExtended(const std::string& prompt, int set, const Asking& about) override {
    questions_.push_back(about);
    return take(prompt, set, true);
  }

  // Everything that went against the script, unasked questions included; empty when all went
  // as written.
  std::vector<std::string> problems() const {
    std::vector<std::string> all = problems_;
    for (const Step& step : script_) all.push_back("not asked: " + step.prompt);
    return all;
  }
  // Starts a fresh script.
  void clear() {
    problems_.clear();
    script_.clear();
  }
  std::string report() const {
    std::string text;
    for (const std::string& p : problems()) text += p + "\n";
    return text;
  }
  // What each question asked was about, in turn.
  const std::vector<Asking>& questions() const { return questions_; }

 private:
  static constexpr int kAnyButtons = -1;
  struct Step {
    std::string prompt;
    int buttons;  // the standard buttons, or the extended set
    bool extended;
    int answer;
  };

  int take(const std::string& prompt, int buttons, bool extended) {
    if (script_.empty()) {
      problems_.push_back("unexpected question: " + prompt);
      return kAnswerCancel;
    }
    const Step step = script_.front();
    script_.pop_front();
    if (step.prompt != prompt || step.extended != extended ||
        (step.buttons != kAnyButtons && step.buttons != buttons)) {
      problems_.push_back("asked \"" + prompt + "\" instead of \"" + step.prompt + "\"");
    }
    return step.answer;
  }

  std::deque<Step> script_;
  std::vector<std::string> problems_;
  std::vector<Asking> questions_;
};

}  // namespace durnix::test
