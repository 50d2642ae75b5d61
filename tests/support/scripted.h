// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A prompter that answers from a script and fails the test on any question it does not expect,
// and a host that records what a conversion run shows.

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "convert/batch.h"

namespace durnix::test {

class ScriptedPrompter : public Prompter {
 public:
  // The next question must be `prompt` (exactly) with `buttons`; it is answered `answer`.
  ScriptedPrompter& expect(std::string prompt, StandardButtons buttons, int answer) {
    script_.push_back({std::move(prompt), static_cast<int>(buttons), false, answer});
    return *this;
  }
  // The next question must be `prompt` in the extended box with `set`.
  ScriptedPrompter& expectExtended(std::string prompt, int set, int answer) {
    script_.push_back({std::move(prompt), set, true, answer});
    return *this;
  }

  int Ask(const std::string& prompt, StandardButtons buttons) override {
    return take(prompt, static_cast<int>(buttons), false);
  }
  int AskExtended(const std::string& prompt, int set) override { return take(prompt, set, true); }

  // Every scripted question was asked.
  void verify() const {
    for (const Step& step : script_) ADD_FAILURE() << "not asked: " << step.prompt;
  }
  const std::vector<std::string>& asked() const { return asked_; }

 private:
  struct Step {
    std::string prompt;
    int buttons;
    bool extended;
    int answer;
  };

  int take(const std::string& prompt, int buttons, bool extended) {
    asked_.push_back(prompt);
    if (script_.empty()) {
      ADD_FAILURE() << "unexpected question: " << prompt;
      return kAnswerCancel;
    }
    const Step step = script_.front();
    script_.pop_front();
    EXPECT_EQ(prompt, step.prompt);
    EXPECT_EQ(buttons, step.buttons) << prompt;
    EXPECT_EQ(extended, step.extended) << prompt;
    return step.answer;
  }

  std::deque<Step> script_;
  std::vector<std::string> asked_;
};

class RecordingHost : public ConversionHost {
 public:
  void SetSourceStatus(const std::string& text) override { sourceStatus.push_back(text); }
  void SetDestinationStatus(const std::string& text) override { tallies.push_back(text); }
  void SetBusy(bool b) override { busy = b; }
  void RefillDestinationList() override { ++refills; }
  void RefreshBothLists() override { ++refreshes; }
  void LetEventsRun() override { ++events; }
  void ShowStampData() override { events_.push_back("show"); }
  void CloseStampEditor() override { events_.push_back("close"); }
  void EditStampDataModal() override {
    events_.push_back("edit");
    if (onEdit) onEdit();
  }

  std::vector<std::string> sourceStatus;
  std::vector<std::string> tallies;
  std::vector<std::string> events_;
  std::function<void()> onEdit;
  bool busy = false;
  int refills = 0;
  int refreshes = 0;
  int events = 0;
};

}  // namespace durnix::test
