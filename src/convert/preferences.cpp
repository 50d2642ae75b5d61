// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/preferences.h"

#include <cmath>

#include "formats/catalogue.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

// Offsets of the configuration file.
constexpr std::size_t kFolderWidth = 256;
constexpr std::size_t kMaskWidth = 5;
constexpr std::size_t kFormatWidth = 30;
constexpr std::size_t kSizeAt = 512;
constexpr std::size_t kMasksAt = 520;
constexpr std::size_t kFormatsAt = 530;
constexpr std::size_t kAxisAt = 590;
constexpr std::size_t kGraphicAt = 602;
constexpr std::size_t kStampFlagsAt = 612;
constexpr std::size_t kStampAt = 890;
constexpr std::size_t kStampVersionWidth = 20;

constexpr std::int16_t kOn = -1;
constexpr std::int16_t kOff = 0;

std::string text(ByteView bytes, std::size_t at, std::size_t width) {
  return std::string(Trim(bytes.substr(at, width)));
}

// A folder as the panes keep it: ending at its last "/".
std::string folderOf(std::string folder) {
  const auto slash = folder.rfind('/');
  return slash == std::string::npos ? folder + "/" : folder.substr(0, slash + 1);
}

}  // namespace

float DotSizeOfItem(int item) {
  return 1.0f + 0.5f * static_cast<float>(item - 1);
}

std::string DotSizeCaption(int item) {
  return SingleText(DotSizeOfItem(item));
}

int DotSizeItem(float dotSize) {
  for (int item = 1; item <= kDotSizeItems; ++item) {
    if (DotSizeOfItem(item) == dotSize) return item;
  }
  return 0;
}

int DotColourItem(std::int32_t colour) {
  for (std::size_t i = 0; i < kDotColourValues.size(); ++i) {
    if (kDotColourValues[i] == colour) return static_cast<int>(i) + 1;
  }
  return 0;
}

int MaskItem(std::string_view mask) {
  for (const FormatInfo& format : FormatCatalogue()) {
    if (format.mask == mask) return static_cast<int>(format.code) + 1;
  }
  return 0;
}

Bytes EncodeConfig(const Preferences& p) {
  Bytes out;
  out.reserve(kConfigFileBytes);
  ByteWriter w(out);
  w.fixedText(Trim(p.SourceFolder), kFolderWidth);
  w.fixedText(Trim(p.DestinationFolder), kFolderWidth);
  w.i32le(p.WindowWidth);
  w.i32le(p.WindowHeight);
  w.fixedText(p.SourceMask, kMaskWidth);
  w.fixedText(p.DestinationMask, kMaskWidth);
  w.fixedText(p.SourceFormat, kFormatWidth);
  w.fixedText(p.DestinationFormat, kFormatWidth);
  w.f32le(p.AxisConvFactor);
  w.f32le(p.AxisOffset);
  w.f32le(p.AxisTofLength);
  w.i16le(p.LowerLimitIndex);
  w.i16le(p.RangeIndex);
  std::int16_t dotCode = 0;
  RoundToInt16((static_cast<double>(p.DotSize) - 1) / 0.5, dotCode);
  w.i16le(dotCode);
  w.i32le(p.DotColour);
  w.i16le(p.StampMode ? kOn : kOff);
  w.i16le(p.StampConfirm ? kOn : kOff);
  w.padTo(kStampAt);
  const StampData& s = p.Stamp;
  w.fixedText(s.Version, kStampVersionWidth);
  w.i16le(s.AtomicNo);
  w.f32le(s.Mass);
  w.f32le(s.BeamMeV);
  w.i16le(s.ChargeState);
  w.f32le(s.ChargeUC);
  w.f32le(s.CurrentNA);
  w.f32le(s.CalGain);
  w.f32le(s.CalOffset);
  w.f32le(s.StartCh);
  w.f32le(s.Fwhm);
  w.f32le(s.Correction);
  w.i16le(s.Geometry);
  w.f32le(s.Theta);
  w.f32le(s.Phi);
  w.f32le(s.Psi);
  w.f32le(s.Omega);
  w.padTo(kConfigFileBytes);
  return out;
}

std::optional<Preferences> DecodeConfig(ByteView bytes) {
  using namespace bytes;
  if (bytes.size() < kConfigFileBytes) return std::nullopt;
  const std::string source = text(bytes, 0, kFolderWidth);
  if (source.empty() || source[0] == '\0') return std::nullopt;
  Preferences p;
  p.SourceFolder = folderOf(source);
  p.DestinationFolder = folderOf(text(bytes, kFolderWidth, kFolderWidth));
  p.WindowWidth = i32le(bytes, kSizeAt);
  p.WindowHeight = i32le(bytes, kSizeAt + 4);
  p.SourceMask = text(bytes, kMasksAt, kMaskWidth);
  p.DestinationMask = text(bytes, kMasksAt + kMaskWidth, kMaskWidth);
  p.SourceFormat = text(bytes, kFormatsAt, kFormatWidth);
  p.DestinationFormat = text(bytes, kFormatsAt + kFormatWidth, kFormatWidth);
  p.AxisConvFactor = f32le(bytes, kAxisAt);
  p.AxisOffset = f32le(bytes, kAxisAt + 4);
  p.AxisTofLength = f32le(bytes, kAxisAt + 8);
  // Indices the menus do not have would leave the viewer without a value: the defaults stand.
  const std::int16_t lower = i16le(bytes, kGraphicAt);
  const std::int16_t range = i16le(bytes, kGraphicAt + 2);
  if (lower >= 1 && lower <= kLimitItems) p.LowerLimitIndex = lower;
  if (range >= 1 && range <= kLimitItems) p.RangeIndex = range;
  p.DotSize = DotSizeOfItem(i16le(bytes, kGraphicAt + 4) + 1);
  p.DotColour = i32le(bytes, kGraphicAt + 6);
  p.StampMode = i16le(bytes, kStampFlagsAt) != kOff;
  p.StampConfirm = i16le(bytes, kStampFlagsAt + 2) != kOff;
  StampData& s = p.Stamp;
  std::size_t at = kStampAt;
  s.Version = text(bytes, at, kStampVersionWidth);
  at += kStampVersionWidth;
  const auto i16 = [&](std::int16_t& v) {
    v = i16le(bytes, at);
    at += 2;
  };
  const auto f32 = [&](float& v) {
    v = f32le(bytes, at);
    at += 4;
  };
  i16(s.AtomicNo);
  f32(s.Mass);
  f32(s.BeamMeV);
  i16(s.ChargeState);
  f32(s.ChargeUC);
  f32(s.CurrentNA);
  f32(s.CalGain);
  f32(s.CalOffset);
  f32(s.StartCh);
  f32(s.Fwhm);
  f32(s.Correction);
  i16(s.Geometry);
  f32(s.Theta);
  f32(s.Phi);
  f32(s.Psi);
  f32(s.Omega);
  return p;
}

FileResult SaveConfig(const Preferences& prefs, const std::string& path, FileSystem& files) {
  const Bytes record = EncodeConfig(prefs);
  // A field that ran past its offset would move every later one.
  if (record.size() != kConfigFileBytes) return {kInternalFault, 0};
  return files.WriteFile(path, record);
}

namespace {

// A text field as the program writes it: characters, then blanks (or the zero bytes of a field
// never written) to its end.
bool isTextField(ByteView bytes, std::size_t at, std::size_t width) {
  const ByteView field = bytes.substr(at, width);
  const auto end = field.find_last_not_of(std::string_view(" \0", 2));
  if (end == ByteView::npos) return true;
  for (std::size_t i = 0; i <= end; ++i) {
    const auto c = static_cast<unsigned char>(field[i]);
    if (c < 0x20 || c == 0x7F) return false;
  }
  return true;
}

bool isFlag(std::int16_t value) {
  return value == kOn || value == kOff;
}

}  // namespace

bool IsConfigFile(ByteView bytes) {
  using namespace bytes;
  if (bytes.size() != kConfigFileBytes || !DecodeConfig(bytes)) return false;
  // A file of the right length is a configuration only when every field holds what the program
  // writes there: a text file, a cut spectrum or other binary data fails here at once.
  const bool texts = isTextField(bytes, 0, kFolderWidth) &&
                     isTextField(bytes, kFolderWidth, kFolderWidth) &&
                     isTextField(bytes, kMasksAt, 2 * kMaskWidth) &&
                     isTextField(bytes, kFormatsAt, kFormatWidth) &&
                     isTextField(bytes, kFormatsAt + kFormatWidth, kFormatWidth) &&
                     isTextField(bytes, kStampAt, kStampVersionWidth);
  if (!texts) return false;
  // A window of up to about 700 inches (a twip is 1/1440 inch) each way.
  constexpr std::int32_t kMaxTwips = 1'000'000;
  const std::int32_t width = i32le(bytes, kSizeAt);
  const std::int32_t height = i32le(bytes, kSizeAt + 4);
  if (width < 0 || width > kMaxTwips || height < 0 || height > kMaxTwips) return false;
  const std::int16_t lower = i16le(bytes, kGraphicAt);
  const std::int16_t range = i16le(bytes, kGraphicAt + 2);
  const std::int16_t dotCode = i16le(bytes, kGraphicAt + 4);
  const std::int32_t colour = i32le(bytes, kGraphicAt + 6);
  if (lower < 0 || lower > kLimitItems || range < 0 || range > kLimitItems || dotCode < 0 ||
      dotCode >= kDotSizeItems || colour < 0 || colour > 0xFFFFFF) {
    return false;
  }
  if (!isFlag(i16le(bytes, kStampFlagsAt)) || !isFlag(i16le(bytes, kStampFlagsAt + 2))) {
    return false;
  }
  // Every single of the file (the axis values and the stamp's numbers) is a finite number.
  constexpr std::size_t kSingles[] = {kAxisAt,       kAxisAt + 4,   kAxisAt + 8,   kStampAt + 22,
                                      kStampAt + 26, kStampAt + 32, kStampAt + 36, kStampAt + 40,
                                      kStampAt + 44, kStampAt + 48, kStampAt + 52, kStampAt + 56,
                                      kStampAt + 62, kStampAt + 66, kStampAt + 70, kStampAt + 74};
  for (const std::size_t at : kSingles) {
    if (!std::isfinite(f32le(bytes, at))) return false;
  }
  return true;
}

bool LoadConfig(const std::string& path, Preferences& prefs, Prompter& prompter,
                FolderPicker& picker, FileSystem& files) {
  const auto folderExists = [&](const std::string& folder) {
    FileEntry entry;
    return files.Stat(folder, entry) == kDone && entry.kind == EntryKind::kFolder;
  };
  Bytes bytes;
  if (files.ReadFile(path, bytes) != kDone) {
    prompter.Ask(kConfigNotFound, StandardButtons::kOk);
    return false;
  }
  // A file without a source folder leaves everything to the caller's defaults.
  if (bytes.size() >= kConfigFileBytes &&
      (Trim(ByteView(bytes).substr(0, kFolderWidth)).empty() || bytes[0] == '\0')) {
    return false;
  }
  std::optional<Preferences> loaded = DecodeConfig(bytes);
  const auto invalid = [&] {
    prompter.Ask(kConfigNotValid, StandardButtons::kOk);
    return false;
  };
  if (!loaded) return invalid();

  // Folders of another machine are asked for anew.
  const auto checkFolder = [&](std::string& folder, const char* question, const char* caption) {
    if (folderExists(folder)) return true;
    if (prompter.Ask(question, StandardButtons::kYesNo) != kAnswerYes) return false;
    const std::optional<std::string> picked = picker.PickFolder(caption);
    if (!picked || picked->empty()) return false;
    folder = picked->back() == '/' ? *picked : *picked + "/";
    return true;
  };
  if (!checkFolder(loaded->SourceFolder, "Source path is not exist any more. Set new path ?",
                   "Enter source path") ||
      !checkFolder(loaded->DestinationFolder,
                   "Destination path is not exist any more. Set new path ?",
                   "Enter destination path")) {
    return invalid();
  }
  prefs = std::move(*loaded);
  return true;
}

}  // namespace durnix
