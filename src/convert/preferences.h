// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The preferences held in memory while the program runs, their menus' values, and the 1024-byte
// configuration file in which they are stored on request.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "convert/prompter.h"
#include "convert/stamp.h"
#include "formats/byte_io.h"
#include "formats/file_system.h"
#include "formats/status.h"

namespace durnix {

struct Preferences {
  std::string SourceFolder;        // PanePath 0, ending in "/"
  std::string DestinationFolder;   // PanePath 1, ending in "/"
  std::string SourceMask = "*.*";  // PaneMask 0
  std::string DestinationMask = "*.*";
  std::string SourceFormat = "AUTO detection";
  std::string DestinationFormat = "ASCII with channel (AS1)";
  std::int32_t WindowWidth = 9165;  // twips
  std::int32_t WindowHeight = 6675;
  float AxisConvFactor = -0.4192f;
  float AxisOffset = 251.9f;
  float AxisTofLength = 0.745f;
  std::int16_t LowerLimitIndex = 1;  // 1 to 18
  std::int16_t RangeIndex = 11;      // 1 to 18
  float DotSize = 1.0f;
  std::int32_t DotColour = 0;  // blue in the high byte, red in the low byte
  bool StampMode = false;
  bool StampConfirm = true;
  StampData Stamp;

  bool operator==(const Preferences&) const = default;
};

inline constexpr std::size_t kConfigFileBytes = 1024;
inline constexpr const char* kConfigFileName = "durnix.cfg";

// Menu values. Captions are what the menus show and what the viewer uses.
inline constexpr int kLimitItems = 18;
inline constexpr std::array<const char*, kLimitItems> kLowerLimitCaptions = {
    "0",   "10",  "20",   "30",   "40",   "50",   "100",   "200",   "300",
    "400", "500", "1000", "2000", "3000", "5000", "10000", "20000", "50000"};
inline constexpr std::array<const char*, kLimitItems> kRangeCaptions = {
    "10",  "20",  "30",  "40",  "50",  "70",  "100",  "200",  "300",
    "400", "500", "600", "700", "800", "900", "1000", "1500", "2000"};
inline constexpr int kDotSizeItems = 10;
inline constexpr std::array<const char*, 7> kDotColourNames = {
    "Black", "Red", "Green", "Yellow", "Blue", "Magenta", "Cyan"};
inline constexpr std::array<std::int32_t, 7> kDotColourValues = {
    0x000000, 0x0000FF, 0x00FF00, 0x00FFFF, 0xFF0000, 0xFF00FF, 0xFFFF00};
inline constexpr std::array<const char*, 14> kSourceMaskCaptions = {
    "All (*.*)",           "RUMP (RBS)",       "EG&&G MaestroII (CHN)", "GammaVision (SPC)",
    "New Oxford (SPT)",    "Old Oxford (SPM)", "ASCII (AS1)",           "ASCII (AS2)",
    "CANBERRA (MCA)",      "QuantumX (ANS)",   "SENRAS (SEN)",          "NUCLEUS (NCL)",
    "Charles Evans (SNF)", "KODAQ (SPC)"};
inline constexpr std::array<const char*, 14> kDestinationMaskCaptions = {
    "All (*.*)",           "RUMP (RBS)",     "EG&&G MaestroII (CHN)", "GammaVision(SPC)",
    "New EG&G (SPT)",      "OLD EG&G (SPM)", "ASCII1 (AS1)",          "ASCII2 (AS2)",
    "CANBERRA (MCA)",      "QuantumX (ANS)", "SENRAS (SEN)",          "NUCLEUS (NCL)",
    "Charles Evans (SNF)", "KODAQ (SPC)"};

// Dot Size item k (1 to 10): 1 + 0.5 x (k - 1), and its caption ("1", "1.5", ... "5.5").
float DotSizeOfItem(int item);
std::string DotSizeCaption(int item);
// The item of a value, or 0 when no item has it.
int DotSizeItem(float dotSize);
int DotColourItem(std::int32_t colour);
// The mask item (1 to 14) whose catalogue mask equals `mask`, or 0.
int MaskItem(std::string_view mask);

// The 1024 bytes of a configuration file holding `prefs`.
Bytes EncodeConfig(const Preferences& prefs);

// The preferences that a configuration file's bytes hold, without any check of its folders.
// Nothing when the file is shorter than 1024 bytes or holds no source folder.
std::optional<Preferences> DecodeConfig(ByteView bytes);

// Writes the preferences to `path` in one piece. Returns 0, 7 or 71 (5 for a fault of the
// layout).
FileResult SaveConfig(const Preferences& prefs, const std::string& path, FileSystem& files);

// The shell's folder picker, behind an interface: the chosen folder, or nothing when cancelled.
class FolderPicker {
 public:
  virtual ~FolderPicker() = default;
  virtual std::optional<std::string> PickFolder(const std::string& caption) = 0;
};

// Loads a configuration file into `prefs` as the program does at start and on "Load Default":
// a missing file is reported ("Configuration file not found") and changes nothing; folders that
// no longer exist are asked for anew; a file that cannot be used is reported ("Configuration file
// is not valid for this system." / "Default setting is initialized.") and changes nothing.
// Returns ConfigLoaded: true when the file was applied.
bool LoadConfig(const std::string& path, Preferences& prefs, Prompter& prompter,
                FolderPicker& picker, FileSystem& files);

// Whether `bytes` are those of a configuration file that the program can use: exactly 1024 bytes
// holding a source folder, whose every field holds a value the program writes there (texts
// without control characters, window sizes, menu indices, on/off flags, finite numbers). Files
// that are not may not be changed as configuration files.
bool IsConfigFile(ByteView bytes);

// Messages of the loader.
inline constexpr const char* kConfigNotFound = "Configuration file not found";
inline constexpr const char* kConfigNotValid =
    "Configuration file is not valid for this system.\nDefault setting is initialized.";

}  // namespace durnix
