// SPDX-License-Identifier: GPL-3.0-or-later
// durnix-cli config: showing and changing configuration files.

#include <unistd.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <ostream>

#include "cli/commands.h"
#include "cli/record_text.h"
#include "convert/preferences.h"
#include "formats/catalogue.h"
#include "formats/text_rules.h"

namespace durnix::cli {

namespace {

// A setting by its name: how it is shown and how a value given for it is taken. `set` returns
// false for a value it cannot take.
struct ConfigKey {
  const char* name;
  std::function<std::string(const Preferences&)> get;
  std::function<bool(Preferences&, const std::string&)> set;
  bool path = false;  // a folder: the bytes of a path, shown as they are
};

bool parseFlag(const std::string& text, bool& flag) {
  const std::string t = UpperAscii(Trim(text));
  if (t == "ON" || t == "TRUE" || t == "YES" || t == "1" || t == "-1") {
    flag = true;
  } else if (t == "OFF" || t == "FALSE" || t == "NO" || t == "0") {
    flag = false;
  } else {
    return false;
  }
  return true;
}

bool parseInt32(const std::string& text, std::int32_t& value) {
  double parsed = 0;
  return StrictNumber(text, parsed) && RoundToInt32(parsed, value);
}

std::string folderWithSlash(const std::string& folder) {
  if (folder.empty()) return "./";
  return folder.back() == '/' ? folder : folder + "/";
}

// Text typed on the command line (UTF-8) as the 8-bit text of the file; nothing when a character
// has no 8-bit form or the text is not UTF-8.
std::optional<std::string> Utf8ToLatin1(std::string_view text) {
  std::string latin1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    if (b < 0x80) {
      latin1.push_back(static_cast<char>(b));
    } else if ((b == 0xC2 || b == 0xC3) && i + 1 < text.size() &&
               (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      latin1.push_back(
          static_cast<char>(((b & 0x03) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F)));
      ++i;
    } else {
      return std::nullopt;
    }
  }
  return latin1;
}

// Accessors of the settings by their names.
using P = Preferences;

// A mask of the catalogue ("*.RBS"), in any letter case.
ConfigKey maskKey(const char* name, std::string P::*member) {
  return {name, [member](const P& p) { return p.*member; },
          [member](P& p, const std::string& v) {
            const std::string wanted = UpperAscii(Trim(v));
            for (const FormatInfo& format : FormatCatalogue()) {
              if (format.mask == wanted) {
                p.*member = std::string(format.mask);
                return true;
              }
            }
            return false;
          }};
}

template <class Object>
ConfigKey singleKey(const char* name, Object P::*object, float Object::*member) {
  return {name, [=](const P& p) { return SingleText(p.*object.*member); },
          [=](P& p, const std::string& v) { return StrictSingle(v, p.*object.*member); }};
}

ConfigKey singleKey(const char* name, float P::*member) {
  return {name, [=](const P& p) { return SingleText(p.*member); },
          [=](P& p, const std::string& v) { return StrictSingle(v, p.*member); }};
}

ConfigKey stampInt16Key(const char* name, std::int16_t StampData::*member) {
  return {name, [=](const P& p) { return std::to_string(p.Stamp.*member); },
          [=](P& p, const std::string& v) { return StrictInt16(v, p.Stamp.*member); }};
}

ConfigKey int32Key(const char* name, std::int32_t P::*member) {
  return {name, [=](const P& p) { return std::to_string(p.*member); },
          [=](P& p, const std::string& v) { return parseInt32(v, p.*member); }};
}

ConfigKey menuIndexKey(const char* name, std::int16_t P::*member) {
  return {name, [=](const P& p) { return std::to_string(p.*member); },
          [=](P& p, const std::string& v) {
            std::int16_t index = 0;
            if (!StrictInt16(v, index) || index < 1 || index > kLimitItems) return false;
            p.*member = index;
            return true;
          }};
}

ConfigKey flagKey(const char* name, bool P::*member) {
  return {name, [=](const P& p) { return std::string(p.*member ? "on" : "off"); },
          [=](P& p, const std::string& v) { return parseFlag(v, p.*member); }};
}

ConfigKey folderKey(const char* name, std::string P::*member) {
  return {name, [=](const P& p) { return p.*member; },
          [=](P& p, const std::string& v) {
            p.*member = folderWithSlash(v);
            return true;
          },
          true};
}

ConfigKey formatKey(const char* name, std::string P::*member, bool destination) {
  return {name, [=](const P& p) { return p.*member; },
          [=](P& p, const std::string& v) {
            const FormatInfo* format = FindFormat(v);
            if (format == nullptr || (destination && format->code == FMT_AUTO)) return false;
            p.*member = std::string(format->displayName);
            return true;
          }};
}

const std::vector<ConfigKey>& configKeys() {
  static const std::vector<ConfigKey> keys = {
      folderKey("SourceFolder", &P::SourceFolder),
      folderKey("DestinationFolder", &P::DestinationFolder),
      maskKey("SourceMask", &P::SourceMask),
      maskKey("DestinationMask", &P::DestinationMask),
      formatKey("SourceFormat", &P::SourceFormat, false),
      formatKey("DestinationFormat", &P::DestinationFormat, true),
      int32Key("WindowWidth", &P::WindowWidth),
      int32Key("WindowHeight", &P::WindowHeight),
      singleKey("AxisConvFactor", &P::AxisConvFactor),
      singleKey("AxisOffset", &P::AxisOffset),
      singleKey("AxisTofLength", &P::AxisTofLength),
      menuIndexKey("LowerLimitIndex", &P::LowerLimitIndex),
      menuIndexKey("RangeIndex", &P::RangeIndex),
      {"DotSize", [](const P& p) { return SingleText(p.DotSize); },
       [](P& p, const std::string& v) {
         float size = 0;
         if (!StrictSingle(v, size) || DotSizeItem(size) == 0) return false;
         p.DotSize = size;
         return true;
       }},
      {"DotColour",
       [](const P& p) {
         const int item = DotColourItem(p.DotColour);
         return item ? std::string(kDotColourNames[static_cast<std::size_t>(item - 1)])
                     : std::to_string(p.DotColour);
       },
       [](P& p, const std::string& v) {
         for (std::size_t i = 0; i < kDotColourNames.size(); ++i) {
           if (UpperAscii(Trim(v)) == UpperAscii(kDotColourNames[i])) {
             p.DotColour = kDotColourValues[i];
             return true;
           }
         }
         return parseInt32(v, p.DotColour);
       }},
      flagKey("StampMode", &P::StampMode),
      flagKey("StampConfirm", &P::StampConfirm),
      {"Version", [](const P& p) { return p.Stamp.Version; },
       [](P& p, const std::string& v) {
         p.Stamp.Version = Trim(v);  // 8-bit text, taken over by the caller
         return true;
       }},
      stampInt16Key("AtomicNo", &StampData::AtomicNo),
      singleKey("Mass", &P::Stamp, &StampData::Mass),
      singleKey("BeamMeV", &P::Stamp, &StampData::BeamMeV),
      stampInt16Key("ChargeState", &StampData::ChargeState),
      singleKey("ChargeUC", &P::Stamp, &StampData::ChargeUC),
      singleKey("CurrentNA", &P::Stamp, &StampData::CurrentNA),
      singleKey("CalGain", &P::Stamp, &StampData::CalGain),
      singleKey("CalOffset", &P::Stamp, &StampData::CalOffset),
      singleKey("StartCh", &P::Stamp, &StampData::StartCh),
      singleKey("Fwhm", &P::Stamp, &StampData::Fwhm),
      singleKey("Correction", &P::Stamp, &StampData::Correction),
      {"Geometry", [](const P& p) { return std::string(GeometryText(p.Stamp.Geometry)); },
       [](P& p, const std::string& v) {
         constexpr std::int16_t kNoText = 99;
         const std::int16_t geometry = GeometryOfText(Trim(v), kNoText);
         if (geometry != kNoText) {
           p.Stamp.Geometry = geometry;
           return true;
         }
         return StrictInt16(v, p.Stamp.Geometry);
       }},
      singleKey("Theta", &P::Stamp, &StampData::Theta),
      singleKey("Phi", &P::Stamp, &StampData::Phi),
      singleKey("Psi", &P::Stamp, &StampData::Psi),
      singleKey("Omega", &P::Stamp, &StampData::Omega),
  };
  return keys;
}

// The text fields of the file and the bytes each holds.
struct TextField {
  const char* name;
  const std::string& value;
  std::size_t width;
};

// The first text field that does not fit its place in the file, if any.
std::optional<TextField> fieldTooLong(const Preferences& p) {
  const TextField fields[] = {
      {"SourceFolder", p.SourceFolder, 256}, {"DestinationFolder", p.DestinationFolder, 256},
      {"SourceMask", p.SourceMask, 5},       {"DestinationMask", p.DestinationMask, 5},
      {"SourceFormat", p.SourceFormat, 30},  {"DestinationFormat", p.DestinationFormat, 30},
      {"Version", p.Stamp.Version, 20},
  };
  for (const TextField& field : fields) {
    if (field.value.size() > field.width) return field;
  }
  return std::nullopt;
}

}  // namespace

int LoadHeadlessConfig(const std::string& path, Preferences& prefs, std::ostream& err) {
  Bytes bytes;
  if (const FileResult read{LocalFiles().ReadFile(path, bytes)}; read != kDone) {
    err << path << ": " << kConfigNotFound << " (" << SystemErrorText(read.error) << ")\n";
    return kExitFailed;
  }
  if (!IsConfigFile(bytes)) {
    err << path << " is not a configuration file of Durnix (1024 bytes, beginning with the source"
        << " folder): it is left as it is.\n";
    return kExitFailed;
  }
  prefs = *DecodeConfig(bytes);
  return kExitDone;
}

int ConfigShowCommand(const std::string& file, bool json, std::ostream& out, std::ostream& err) {
  Preferences prefs;
  if (LoadHeadlessConfig(file, prefs, err) != kExitDone) return kExitFailed;
  nlohmann::ordered_json object;
  for (const ConfigKey& key : configKeys()) {
    // Folders are paths, the system's bytes; the other texts are 8-bit.
    const std::string value = key.path ? key.get(prefs) : Latin1ToUtf8(key.get(prefs));
    if (json) {
      object[key.name] = value;
    } else {
      out << key.name << ": " << value << '\n';
    }
  }
  if (json) out << JsonLine(object) << '\n';
  return kExitDone;
}

int ConfigSetCommand(const std::string& file, const std::vector<std::string>& assignments,
                     std::ostream& err) {
  Preferences prefs;
  const bool exists{LocalFiles().Exists(file)};
  if (exists) {
    // Only a configuration file is changed as one: anything else is the user's, and stays.
    if (LoadHeadlessConfig(file, prefs, err) != kExitDone) return kExitFailed;
  } else {
    // A new file starts from the defaults, with this folder for both panes.
    char here[4096];
    const std::string folder = ::getcwd(here, sizeof here) ? folderWithSlash(here) : "/";
    prefs.SourceFolder = prefs.DestinationFolder = folder;
  }
  for (const std::string& assignment : assignments) {
    const auto equals = assignment.find('=');
    const std::string name = assignment.substr(0, equals);
    const auto key = std::find_if(configKeys().begin(), configKeys().end(),
                                  [&](const ConfigKey& k) { return name == k.name; });
    if (equals == std::string::npos || key == configKeys().end()) {
      err << assignment
          << ": no such setting (KEY=VALUE, keys as `durnix-cli config show` lists them)\n";
      return kExitUsage;
    }
    std::string value = assignment.substr(equals + 1);
    if (!key->path) {
      const std::optional<std::string> latin1 = Utf8ToLatin1(value);
      if (!latin1) {
        err << name << " holds 8-bit text: \"" << value
            << "\" has a character that it cannot hold\n";
        return kExitUsage;
      }
      value = *latin1;
    }
    if (!key->set(prefs, value)) {
      err << "There are some invalid data: " << assignment << '\n';
      return kExitUsage;
    }
  }
  if (const std::optional<TextField> field = fieldTooLong(prefs)) {
    err << field->name << " holds at most " << field->width << " bytes; \"" << field->value
        << "\" has " << field->value.size() << '\n';
    return kExitUsage;
  }
  const Bytes record = EncodeConfig(prefs);
  const FileResult status =
      exists ? LocalFiles().WriteFile(file, record) : LocalFiles().CreateFile(file, record);
  if (status != kDone) {
    err << file << ": Disk is not ready or bad media. (" << SystemErrorText(status.error) << ")\n";
    return kExitFailed;
  }
  return kExitDone;
}

}  // namespace durnix::cli
