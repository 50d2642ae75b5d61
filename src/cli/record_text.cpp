// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/record_text.h"

#include <charconv>
#include <cmath>

#include "formats/text_rules.h"

namespace durnix::cli {

namespace {

// A single as JSON: the number whose shortest text reads back as the same single.
nlohmann::ordered_json singleJson(float value) {
  if (!std::isfinite(value)) return nullptr;
  const std::string text = SingleText(value);
  double shortest = 0;
  std::from_chars(text.data(), text.data() + text.size(), shortest);
  return shortest;
}

// Visits every field of the record but FileName, Counts and ChannelCount, in record order.
template <class Text, class Single, class Integer>
void forEachField(const SpectrumRecord& r, Text&& text, Single&& single, Integer&& integer) {
  text("SpecId", r.SpecId);
  text("AcqDate", r.AcqDate);
  text("AcqTime", r.AcqTime);
  text("RealTime", r.RealTime);
  text("LiveTime", r.LiveTime);
  single("CalGain", r.CalGain);
  single("CalOffset", r.CalOffset);
  single("StartCh", r.StartCh);
  text("Version", r.Version);
  single("BeamMeV", r.BeamMeV);
  integer("ChargeState", r.ChargeState);
  single("Mass", r.Mass);
  integer("AtomicNo", r.AtomicNo);
  single("ChargeUC", r.ChargeUC);
  single("CurrentNA", r.CurrentNA);
  single("Fwhm", r.Fwhm);
  single("Correction", r.Correction);
  integer("Geometry", r.Geometry);
  single("Theta", r.Theta);
  single("Phi", r.Phi);
  single("Psi", r.Psi);
  single("Omega", r.Omega);
  text("RumpComment", r.RumpComment);
  text("KodaqId", r.KodaqId);
  text("KodaqMem", r.KodaqMem);
}

}  // namespace

std::string Latin1ToUtf8(std::string_view text) {
  std::string utf8;
  utf8.reserve(text.size());
  for (char c : text) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      utf8.push_back(c);
    } else {
      utf8.push_back(static_cast<char>(0xC0 | (b >> 6)));
      utf8.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
  return utf8;
}

nlohmann::ordered_json RecordJson(std::string_view file, Status status, std::string_view format,
                                  const SpectrumRecord& record) {
  nlohmann::ordered_json json;
  json["file"] = std::string(file);  // a path: the system's bytes, not 8-bit text
  json["status"] = status;
  json["format"] = std::string(format);
  json["FileName"] = record.FileName;
  forEachField(
      record, [&](const char* name, const std::string& v) { json[name] = Latin1ToUtf8(v); },
      [&](const char* name, float v) { json[name] = singleJson(v); },
      [&](const char* name, std::int16_t v) { json[name] = v; });
  json["ChannelCount"] = record.ChannelCount;
  json["Counts"] = record.Counts;
  return json;
}

std::string JsonLine(const nlohmann::ordered_json& json) {
  return json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

std::string RecordText(std::string_view file, Status status, std::string_view format,
                       const SpectrumRecord& record) {
  std::string out;
  const auto line = [&](std::string_view name, std::string_view value) {
    out.append(name).append(": ").append(value).append("\n");
  };
  line("file", file);
  line("status", std::to_string(status));
  line("format", format);
  line("FileName", record.FileName);
  forEachField(
      record, [&](const char* name, const std::string& v) { line(name, Latin1ToUtf8(v)); },
      [&](const char* name, float v) { line(name, SingleText(v)); },
      [&](const char* name, std::int16_t v) {
        std::string text = std::to_string(v);
        if (std::string_view(name) == "Geometry") text += std::string(" (") + GeometryText(v) + ")";
        line(name, text);
      });
  line("ChannelCount", std::to_string(record.ChannelCount));
  out += "Counts:";
  for (std::size_t i = 0; i < record.Counts.size(); ++i) {
    if (i % 10 == 0) {
      std::string channel = std::to_string(i + 1);
      out += "\n" + std::string(channel.size() < 6 ? 6 - channel.size() : 0, ' ') + channel + ":";
    }
    out += " " + std::to_string(record.Counts[i]);
  }
  out += "\n";
  return out;
}

}  // namespace durnix::cli
