// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/preferences.h"

#include <gtest/gtest.h>

#include "support/memory_file_system.h"
#include "support/scripted.h"
#include "support/temp_dir.h"

namespace durnix {
namespace {

using test::ScriptedPrompter;

Preferences stamped() {
  return {.SourceFolder = "/home/lab/spectra/",
          .DestinationFolder = "/home/lab/out/",
          .SourceMask = "*.CHN",
          .DestinationMask = "*.RBS",
          .SourceFormat = "EG&G Maestro II (CHN)",
          .DestinationFormat = "RUMP (RBS)",
          .WindowWidth = 12000,
          .WindowHeight = 8000,
          .AxisConvFactor = 0.5f,
          .AxisOffset = -12.25f,
          .AxisTofLength = 1.2f,
          .LowerLimitIndex = 7,
          .RangeIndex = 18,
          .DotSize = 2.5f,
          .DotColour = 0xFF00FF,
          .StampMode = true,
          .StampConfirm = false,
          .Stamp = {"1.00", 2, 4.0026f, 2.0f, 1, 20.0f, 12.5f, 2.0371f, 42.5f, 1.0f, 15.0f, 0.98f,
                    -1, 10.0f, 170.0f, 3.0f, 4.0f}};
}

class Picker : public FolderPicker {
 public:
  // The answers in turn, then Cancel.
  std::optional<std::string> PickFolder(const std::string& caption) override {
    captions.push_back(caption);
    return captions.size() <= answers.size() ? answers[captions.size() - 1] : std::nullopt;
  }
  std::vector<std::optional<std::string>> answers;
  std::vector<std::string> captions;
};

TEST(ConfigFile, BytesFollowTheLayoutAndTheMenus) {
  Preferences defaults;
  defaults.SourceFolder = "/home/lab/spectra/";
  defaults.DestinationFolder = "/home/lab/out/";
  EXPECT_EQ(EncodeConfig(defaults), test::ReadWhole(test::DataFile("config/defaults.cfg")));
  EXPECT_EQ(EncodeConfig(stamped()), test::ReadWhole(test::DataFile("config/stamped.cfg")));
  // The mask "*.*" is kept as "*.*" and two blanks, and recognised again.
  const Bytes bytes = EncodeConfig(defaults);
  EXPECT_EQ(bytes.substr(520, 10), "*.*  *.*  ");
  const std::optional<Preferences> back = DecodeConfig(bytes);
  ASSERT_TRUE(back.has_value());
  EXPECT_EQ(*back, defaults);
  EXPECT_EQ(MaskItem(back->SourceMask), 1);
  EXPECT_EQ(*DecodeConfig(EncodeConfig(stamped())), stamped());
  // A dot size code of 3 is 2.5, the fourth Dot Size item.
  Bytes menus = EncodeConfig(stamped());
  EXPECT_EQ(menus.substr(606, 2), std::string("\x03\x00", 2));
  EXPECT_EQ(DotSizeItem(DecodeConfig(menus)->DotSize), 4);
  EXPECT_EQ(DotSizeCaption(1) + " " + DotSizeCaption(4) + " " + DotSizeCaption(10), "1 2.5 5.5");
  EXPECT_EQ(DotColourItem(0xFF00FF), 6);  // Magenta
  EXPECT_EQ(DotColourItem(0x123456), 0);  // no item ticked
  EXPECT_EQ(MaskItem("*.SPC"), 4);        // GammaVision's mask, shared by CANBERRA and KODAQ
  EXPECT_EQ(MaskItem("*.XYZ"), 0);
  // Menu indices beyond the menus would leave the viewer without a value: defaults stand.
  menus[602] = 40;
  menus[604] = 0;
  EXPECT_EQ(DecodeConfig(menus)->LowerLimitIndex, 1);
  EXPECT_EQ(DecodeConfig(menus)->RangeIndex, 11);
}

// A file system that holds the configuration's own folders.
class Loading : public ::testing::Test {
 protected:
  Loading() {
    for (const char* folder : {"/home/lab/spectra/", "/home/lab/out/", "/etc/durnix/"})
      files_.addFolder(folder);
  }
  bool load(const std::string& name, Preferences& prefs) {
    const bool loaded = LoadConfig("/etc/durnix/" + name, prefs, prompter_, picker_, files_);
    prompter_.verify();
    return loaded;
  }

  test::MemoryFileSystem files_;
  Picker picker_;
  ScriptedPrompter prompter_;
};

TEST_F(Loading, OnlyAValidFileIsApplied) {
  ASSERT_EQ(SaveConfig(stamped(), "/etc/durnix/durnix.cfg", files_), kDone);
  EXPECT_TRUE(IsConfigFile(files_.bytesOf("/etc/durnix/durnix.cfg")));
  Preferences prefs;
  EXPECT_TRUE(load("durnix.cfg", prefs));
  EXPECT_EQ(prefs, stamped());

  prefs = stamped();
  prompter_.expect("Configuration file not found", StandardButtons::kOk, kAnswerOk);
  EXPECT_FALSE(load("none.cfg", prefs));
  // No source folder: nothing loaded and nothing said, the caller's defaults stand.
  files_.addFile("/etc/durnix/empty.cfg", std::string(1024, '\0'));
  EXPECT_FALSE(load("empty.cfg", prefs));
  prompter_.expect(kConfigNotValid, StandardButtons::kOk, kAnswerOk);
  files_.addFile("/etc/durnix/short.cfg", "/home/lab/");
  EXPECT_FALSE(load("short.cfg", prefs));
  EXPECT_EQ(prefs, stamped());
}

TEST(ConfigFile, OnlyAFileOf1024BytesOfTheLayoutIsOne) {
  // Whatever begins with a character and is long enough passes the loader's check, but only a
  // file of exactly 1024 bytes is a configuration file that may be changed as one.
  EXPECT_FALSE(IsConfigFile("/home/lab/" + std::string(4630, 'x')));
  // A file of the configuration's length is one only by its content: not a text file, binary data
  // or a spectrum cut to 1024 bytes.
  std::string text;
  while (text.size() < 1024) text += "/home/lab/notes: beam 2.275 MeV, 4He+, 170 degrees.\n";
  std::string binary(1024, '\0');
  for (std::size_t i = 0; i < binary.size(); ++i) binary[i] = static_cast<char>(i * 37 + 11);
  binary[0] = '/';
  const std::string cut = test::ReadWhole(test::DataFile("rbs/big.RBS")).substr(0, 1024);
  for (const std::string& content : {std::string(1024, '\0'), text.substr(0, 1024), binary, cut})
    EXPECT_FALSE(IsConfigFile(content)) << content.substr(0, 20);
}

TEST_F(Loading, FoldersOfAnotherMachineAreAskedForAnew) {
  Preferences elsewhere = stamped();
  elsewhere.SourceFolder = "/mnt/old/in/";
  elsewhere.DestinationFolder = "/mnt/old/out/";
  ASSERT_EQ(SaveConfig(elsewhere, "/etc/durnix/durnix.cfg", files_), kDone);
  picker_.answers = {"/home/lab/spectra", "/home/lab/out/"};
  const std::string source = "Source path is not exist any more. Set new path ?";
  prompter_.expect(source, StandardButtons::kYesNo, kAnswerYes)
      .expect("Destination path is not exist any more. Set new path ?", StandardButtons::kYesNo,
              kAnswerYes);
  Preferences prefs;
  EXPECT_TRUE(load("durnix.cfg", prefs));
  EXPECT_EQ(picker_.captions,
            (std::vector<std::string>{"Enter source path", "Enter destination path"}));
  EXPECT_EQ(prefs, stamped());  // the new folders, and all the rest as saved

  // Refusing, or cancelling the picker, makes the file invalid for this system.
  Preferences untouched;
  prompter_.expect(source, StandardButtons::kYesNo, kAnswerNo)
      .expect(kConfigNotValid, StandardButtons::kOk, kAnswerOk);
  EXPECT_FALSE(load("durnix.cfg", untouched));
  prompter_.expect(source, StandardButtons::kYesNo, kAnswerYes)
      .expect(kConfigNotValid, StandardButtons::kOk, kAnswerOk);
  EXPECT_FALSE(load("durnix.cfg", untouched));
  EXPECT_EQ(untouched, Preferences());
}

}  // namespace
}  // namespace durnix
