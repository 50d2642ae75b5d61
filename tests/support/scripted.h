// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The answer script of the GoogleTest programs, and a host that records what a conversion run
// shows.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "convert/batch.h"
#include "support/answer_script.h"

namespace durnix::test {

// The script of a GoogleTest: verify() fails the test for every question that went against it.
class ScriptedPrompter : public AnswerScript {
 public:
  void verify() {
    for (const std::string& problem : problems()) ADD_FAILURE() << problem;
    clear();
  }
};

class RecordingHost : public ConversionHost {
 public:
  void SetSourceStatus(const std::string& text) override { sourceStatus.push_back(text); }
  void SetDestinationStatus(const std::string& text) override { tallies.push_back(text); }
  void SetBusy(bool b) override { busy = b; }
  void RefillDestinationList() override { ++refills; }
  void RefreshBothLists() override { ++refreshes; }
  void ShowStampData() override { events_.push_back("show"); }
  void CloseStampEditor() override { events_.push_back("close"); }
  void EditStampDataModal() override {
    events_.push_back("edit");
    if (onEdit) onEdit();
  }
  void FileDone(const FileOutcome& outcome) override { outcomes.push_back(outcome); }

  std::vector<std::string> sourceStatus;
  std::vector<std::string> tallies;
  std::vector<std::string> events_;
  std::vector<FileOutcome> outcomes;
  std::function<void()> onEdit;
  bool busy = false;
  int refills = 0;
  int refreshes = 0;
};

}  // namespace durnix::test
