// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/n42.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>
#include <pugixml.hpp>
#include <string_view>

#include "formats/dates.h"
#include "formats/reader_support.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

constexpr std::string_view kN42Namespace = "http://physics.nist.gov/N42/2011/N42";
constexpr std::size_t kSignatureWindow = 8192;

constexpr std::string_view kXmlBlanks = " \t\n\r";

std::string_view XmlTrim(std::string_view text) {
  const std::size_t first = text.find_first_not_of(kXmlBlanks);
  if (first == text.npos) return {};
  return text.substr(first, text.find_last_not_of(kXmlBlanks) - first + 1);
}

// Calls `onWord(std::string_view)` for every word of `text` between XML blanks; `onWord` returns
// false to stop.
template <class OnWord>
void ForEachWord(std::string_view text, OnWord&& onWord) {
  for (std::size_t at = text.find_first_not_of(kXmlBlanks); at != text.npos;
       at = text.find_first_not_of(kXmlBlanks, at)) {
    const std::size_t end = std::min(text.find_first_of(kXmlBlanks, at), text.size());
    if (!onWord(text.substr(at, end - at))) return;
    at = end;
  }
}

// The prefix ("" for the default namespace, else "name:") under which `element` declares the
// N42 namespace and is itself RadInstrumentData; nothing when it is no N42 root.
std::optional<std::string> RootPrefix(pugi::xml_node element) {
  for (const pugi::xml_attribute attribute : element.attributes()) {
    const std::string_view declared = attribute.name();
    const bool prefixed = declared.starts_with("xmlns:") && declared.size() > 6;
    if (attribute.value() != kN42Namespace || (!prefixed && declared != "xmlns")) continue;
    std::string prefix = prefixed ? std::string(declared.substr(6)) + ":" : std::string();
    if (element.name() == prefix + "RadInstrumentData") return prefix;
  }
  return std::nullopt;
}

// A parsed N42 document, and the names of its elements under the prefix that its root uses.
struct Document {
  pugi::xml_document xml;
  pugi::xml_node root;
  std::string prefix;

  bool is(pugi::xml_node node, std::string_view local) const {
    const std::string_view name = node.name();
    return node.type() == pugi::node_element && name.size() == prefix.size() + local.size() &&
           name.starts_with(prefix) && name.ends_with(local);
  }
  pugi::xml_node child(pugi::xml_node parent, std::string_view local) const {
    return parent.find_child([&](pugi::xml_node node) { return is(node, local); });
  }
  // The element's name without the N42 prefix; other elements keep their prefix.
  std::string shownName(pugi::xml_node node) const {
    const std::string_view name = node.name();
    const bool n42 = name.starts_with(prefix) && name.find(':', prefix.size()) == name.npos;
    return std::string(n42 ? name.substr(prefix.size()) : name);
  }
};

bool Load(ByteView bytes, Document& doc) {
  if (!HasN42Signature(bytes) ||
      !doc.xml.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_utf8)) {
    return false;
  }
  doc.root = doc.xml.document_element();
  const std::optional<std::string> prefix = RootPrefix(doc.root);
  doc.prefix = prefix.value_or("");
  return prefix.has_value();
}

// The text of an element: its character data and CDATA sections.
std::string TextOf(pugi::xml_node node) {
  std::string text;
  for (const pugi::xml_node part : node.children()) {
    if (part.type() == pugi::node_pcdata || part.type() == pugi::node_cdata) text += part.value();
  }
  return text;
}

std::string TrimmedTextOf(pugi::xml_node node) {
  return std::string(XmlTrim(TextOf(node)));
}

struct Place {
  pugi::xml_node measurement;
  pugi::xml_node spectrum;
};

std::vector<Place> SpectraOf(const Document& doc) {
  std::vector<Place> places;
  for (const pugi::xml_node measurement : doc.root.children()) {
    if (!doc.is(measurement, "RadMeasurement")) continue;
    for (const pugi::xml_node spectrum : measurement.children()) {
      if (doc.is(spectrum, "Spectrum")) places.push_back({measurement, spectrum});
    }
  }
  return places;
}

// The counts of a ChannelData element: whole numbers from 0 to INT32_MAX, perhaps written with
// decimals ("12.000"); under "CountedZeroes" a 0 is followed by the number of empty channels.
bool ChannelCounts(pugi::xml_node data, std::vector<std::int32_t>& counts) {
  counts.clear();
  const std::string_view code = XmlTrim(data.attribute("compressionCode").value());
  const bool countedZeroes = code == "CountedZeroes";
  if (!data || (!countedZeroes && !code.empty() && code != "None")) return false;
  bool good = true;
  bool zeroRun = false;  // the word is the length of a run of zeros
  ForEachWord(TextOf(data), [&](std::string_view word) {
    double value = 0;
    const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), value);
    good = error == std::errc() && end == word.data() + word.size() && value >= 0 &&
           value <= INT32_MAX && value == std::floor(value);
    if (!good || (countedZeroes && !zeroRun && value == 0)) return zeroRun = good;
    const auto n = zeroRun ? static_cast<std::size_t>(value) : 1;
    good = n <= static_cast<std::size_t>(kN42MaxChannels) - counts.size();
    if (good) counts.insert(counts.end(), n, zeroRun ? 0 : static_cast<std::int32_t>(value));
    zeroRun = false;
    return good;
  });
  return good && !zeroRun && !counts.empty();
}

// Seconds of an xsd:duration such as "PT299.6S", "PT1H2M3.5S" or "P1DT2H"; nothing for other
// texts, negative durations and those of years or months, whose length in seconds is not fixed.
std::optional<double> DurationSeconds(std::string_view text) {
  text = XmlTrim(text);
  if (!text.starts_with('P') || text.size() < 3 || text.back() == 'T') return std::nullopt;
  text.remove_prefix(1);
  static constexpr std::string_view kUnits = "DTHMS";
  static constexpr double kSeconds[] = {86400, 0, 3600, 60, 1};
  std::size_t next = 0;  // units come in the order of kUnits, each once
  double seconds = 0;
  while (!text.empty()) {
    const std::size_t n = text.find_first_not_of("0123456789.");
    const std::size_t unit = n == text.npos ? n : kUnits.find(text[n], next);
    if (unit == kUnits.npos || (unit == 1) != (n == 0) || (unit > 1 && next < 2) ||
        (unit != 4 && text.substr(0, n).find('.') != text.npos)) {
      return std::nullopt;  // no unit, a number before T or none before a unit, H M S before T
    }
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + n, value);
    if (n > 0 && (error != std::errc() || end != text.data() + n)) return std::nullopt;
    seconds += value * kSeconds[unit];
    next = unit + 1;
    text.remove_prefix(n + 1);
  }
  return std::isfinite(seconds) ? std::optional<double>(seconds) : std::nullopt;
}

std::string DurationText(pugi::xml_node node) {
  const std::optional<double> seconds = DurationSeconds(TextOf(node));
  return seconds ? DecimalText(*seconds) : std::string();
}

// An xsd:dateTime ("2017-06-21T14:04:34.5-07:00") as the record's date ("mm/dd/yyyy") and time
// as the local clock showed them: the fraction of the second and the zone are dropped.
void ReadStart(std::string_view text, SpectrumRecord& record) {
  text = XmlTrim(text);
  static constexpr std::string_view kPattern = "dddd-dd-ddTdd:dd:dd";
  bool good = text.size() >= kPattern.size();
  for (std::size_t i = 0; good && i < kPattern.size(); ++i) {
    good = kPattern[i] == 'd' ? text[i] >= '0' && text[i] <= '9' : text[i] == kPattern[i];
  }
  if (!good) return;
  std::string_view zone = text.substr(kPattern.size());  // after the fraction of the second
  if (zone.starts_with('.')) {
    zone.remove_prefix(std::min(zone.find_first_not_of("0123456789", 1), zone.size()));
  }
  const std::string_view month = text.substr(5, 2), day = text.substr(8, 2);
  if ((zone.empty() || zone == "Z" ||
       (zone.size() == 6 && (zone[0] == '+' || zone[0] == '-') && zone[3] == ':')) &&
      month >= "01" && month <= "12" && day >= "01" && day <= "31" && text.substr(11, 2) <= "23" &&
      text.substr(14, 2) <= "59") {
    record.AcqDate =
        std::string(month) + "/" + std::string(day) + "/" + std::string(text.substr(0, 4));
    record.AcqTime = std::string(text.substr(11, 8));
  }
}

// The first three words of CoefficientValues of the spectrum's energy calibration: the one that
// its energyCalibrationReference names, else the document's only one.
std::vector<std::string> CalibrationTerms(const Document& doc, pugi::xml_node spectrum) {
  const std::string_view reference =
      XmlTrim(spectrum.attribute("energyCalibrationReference").value());
  pugi::xml_node chosen;
  int candidates = 0;
  for (const pugi::xml_node node : doc.root.children()) {
    if (!doc.is(node, "EnergyCalibration")) continue;
    const bool named = !reference.empty() && XmlTrim(node.attribute("id").value()) == reference;
    candidates = named ? 1 : candidates + 1;
    chosen = node;
    if (named) break;
  }
  std::vector<std::string> terms;
  if (candidates != 1) return terms;
  ForEachWord(TextOf(doc.child(chosen, "CoefficientValues")), [&](std::string_view word) {
    terms.emplace_back(word);
    return terms.size() < 3;
  });
  return terms;
}

Status Parse(ByteView bytes, std::size_t index, SpectrumRecord& record) {
  Document doc;
  if (!Load(bytes, doc)) return kNotThisFormat;
  const std::vector<Place> places = SpectraOf(doc);
  if (index >= places.size()) return kNotThisFormat;
  const auto [measurement, spectrum] = places[index];
  if (!ChannelCounts(doc.child(spectrum, "ChannelData"), record.Counts)) return kNotThisFormat;
  record.ChannelCount = static_cast<std::int16_t>(record.Counts.size());
  record.StartCh = 0;

  record.SpecId = TrimmedTextOf(doc.child(measurement, "Remark"));
  if (record.SpecId.empty()) record.SpecId = TrimmedTextOf(doc.child(spectrum, "Remark"));
  if (record.SpecId.empty()) {
    const pugi::xml_node information = doc.child(doc.root, "RadInstrumentInformation");
    record.SpecId = TrimmedTextOf(doc.child(information, "RadInstrumentModelName"));
  }
  record.AcqDate.clear();
  record.AcqTime.clear();
  ReadStart(TextOf(doc.child(measurement, "StartDateTime")), record);
  record.RealTime = DurationText(doc.child(measurement, "RealTimeDuration"));
  record.LiveTime = DurationText(doc.child(spectrum, "LiveTimeDuration"));
  const std::vector<std::string> terms = CalibrationTerms(doc, spectrum);
  record.CalOffset = terms.size() >= 2 ? ToSingle(NumericPrefix(terms[0])) : 0;
  record.CalGain = terms.size() >= 2 ? ToSingle(NumericPrefix(terms[1])) : 0;
  return kDone;
}

// `text` as UTF-8 that an XML document may hold: valid UTF-8 sequences are kept, other bytes
// are taken as Latin-1 characters, and control characters become blanks.
std::string XmlText(std::string_view text) {
  std::string out;
  const auto byte = [&](std::size_t at) {
    return at < text.size() ? static_cast<unsigned char>(text[at]) : 0u;
  };
  for (std::size_t i = 0; i < text.size(); ++i) {
    const unsigned lead = byte(i);
    const std::size_t more = lead > 0xF4 ? 0 : lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2;
    // The second byte's range excludes overlong forms, surrogates and code points past U+10FFFF.
    const unsigned low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
    const unsigned high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
    bool valid = more > 0 && byte(i + 1) >= low && byte(i + 1) <= high;
    for (std::size_t k = 2; k <= more; ++k) valid = valid && (byte(i + k) & 0xC0) == 0x80;
    if (lead < 0x20) {
      out += ' ';
    } else if (lead < 0x80 || valid) {
      out.append(text.substr(i, more + 1));
      i += more;
    } else {
      out += static_cast<char>(0xC0 | (lead >> 6));
      out += static_cast<char>(0x80 | (lead & 0x3F));
    }
  }
  return out;
}

// "PT<seconds>S" of the record's time, in at most 6 decimals (0 for no number or one below 0).
std::string DurationOf(const std::string& time) {
  const double seconds = NumericPrefix(time);
  char number[400];
  std::snprintf(number, sizeof number, "%.6f", seconds > 0 && std::isfinite(seconds) ? seconds : 0);
  std::string_view shown = number;
  while (shown.back() == '0') shown.remove_suffix(1);
  if (shown.back() == '.') shown.remove_suffix(1);
  return "PT" + std::string(shown) + "S";
}

// The document the writer fills in, its elements in the order of the schema; the parts that a
// record does not have are taken out. The schema asks for the version of at least the software
// that made the document.
constexpr std::string_view kSkeleton = R"(<?xml version="1.0" encoding="UTF-8"?>
<RadInstrumentData xmlns="http://physics.nist.gov/N42/2011/N42">
  <RadInstrumentInformation id="RadInstrumentInformation-1">
    <RadInstrumentManufacturerName>Durnix</RadInstrumentManufacturerName>
    <RadInstrumentModelName>Durnix</RadInstrumentModelName>
    <RadInstrumentClassCode>Other</RadInstrumentClassCode>
    <RadInstrumentVersion>
      <RadInstrumentComponentName>Software</RadInstrumentComponentName>
      <RadInstrumentComponentVersion>Durnix</RadInstrumentComponentVersion>
    </RadInstrumentVersion>
  </RadInstrumentInformation>
  <RadDetectorInformation id="RadDetectorInformation-1">
    <RadDetectorCategoryCode>Gamma</RadDetectorCategoryCode>
    <RadDetectorKindCode>Other</RadDetectorKindCode>
  </RadDetectorInformation>
  <EnergyCalibration id="EnergyCalibration-1"><CoefficientValues/></EnergyCalibration>
  <RadMeasurement id="RadMeasurement-1">
    <Remark/><MeasurementClassCode>Foreground</MeasurementClassCode>
    <StartDateTime/><RealTimeDuration/>
    <Spectrum id="RadMeasurement-1-Spectrum-1"
              radDetectorInformationReference="RadDetectorInformation-1"
              energyCalibrationReference="EnergyCalibration-1">
      <LiveTimeDuration/><ChannelData/>
    </Spectrum>
  </RadMeasurement>
</RadInstrumentData>
)";

void SetText(pugi::xml_node node, const std::string& text) {
  node.text().set(text.c_str(), text.size());
}

}  // namespace

bool HasN42Signature(ByteView bytes) {
  // The parser keeps what it read of a document it could not read whole: the first few KiB give
  // the root element with its attributes, after a byte order mark, the declaration, comments
  // and a document type.
  const ByteView window = bytes.substr(0, kSignatureWindow);
  pugi::xml_document doc;
  doc.load_buffer(window.data(), window.size(), pugi::parse_default, pugi::encoding_utf8);
  return RootPrefix(doc.document_element()).has_value();
}

std::vector<std::string> N42Spectra(ByteView bytes) {
  std::vector<std::string> lines;
  Document doc;
  if (!Load(bytes, doc)) return lines;
  std::vector<std::int32_t> counts;
  for (const auto& [measurement, spectrum] : SpectraOf(doc)) {
    std::string line = "RadMeasurement id=" + std::string(measurement.attribute("id").value()) +
                       ", Spectrum id=" + std::string(spectrum.attribute("id").value()) + ", ";
    line += ChannelCounts(doc.child(spectrum, "ChannelData"), counts)
                ? std::to_string(counts.size()) + " channels"
                : std::string("no valid channel data");
    const std::string live = DurationText(doc.child(spectrum, "LiveTimeDuration"));
    if (!live.empty()) line += ", live " + live + " s";
    lines.push_back(std::move(line));
  }
  return lines;
}

Status ReadN42Spectrum(ByteView bytes, std::size_t index, SpectrumRecord& record) {
  return detail::ReadTransaction(
      bytes, record, [index](ByteView b, SpectrumRecord& work) { return Parse(b, index, work); });
}

Status ReadN42(ByteView bytes, SpectrumRecord& record) {
  return ReadN42Spectrum(bytes, 0, record);
}

std::vector<std::string> N42Dropped(ByteView bytes, std::size_t index) {
  std::vector<std::string> dropped;
  Document doc;
  if (!Load(bytes, doc)) return dropped;
  const std::vector<Place> places = SpectraOf(doc);
  if (index >= places.size()) return dropped;
  const auto [measurement, spectrum] = places[index];
  const std::vector<std::string> terms = CalibrationTerms(doc, spectrum);
  if (terms.size() >= 3 && NumericPrefix(terms[2]) != 0) {
    dropped.push_back("quadratic calibration term " + terms[2]);
  }
  if (places.size() > 1) {
    dropped.push_back("other measurements (" + std::to_string(places.size() - 1) + ")");
  }
  const auto unheld = [&](pugi::xml_node parent, std::initializer_list<std::string_view> held) {
    for (const pugi::xml_node node : parent.children()) {
      if (node.type() != pugi::node_element ||
          std::any_of(held.begin(), held.end(), [&](auto name) { return doc.is(node, name); })) {
        continue;
      }
      std::string name = doc.shownName(node);
      if (std::find(dropped.begin(), dropped.end(), name) == dropped.end()) {
        dropped.push_back(std::move(name));
      }
    }
  };
  unheld(doc.root, {"RadInstrumentInformation", "EnergyCalibration", "RadMeasurement"});
  unheld(measurement,
         {"Remark", "MeasurementClassCode", "StartDateTime", "RealTimeDuration", "Spectrum"});
  unheld(spectrum, {"Remark", "LiveTimeDuration", "ChannelData"});
  return dropped;
}

Status EncodeN42(const SpectrumRecord& record, Bytes& out) {
  if (!detail::SpectrumIsConsistent(record) || record.Counts.empty() ||
      record.Counts.size() > static_cast<std::size_t>(kN42MaxChannels) ||
      std::any_of(record.Counts.begin(), record.Counts.end(),
                  [](std::int32_t c) { return c < 0; })) {
    return kDoesNotFit;
  }
  pugi::xml_document doc;
  if (!doc.load_buffer(kSkeleton.data(), kSkeleton.size(),
                       pugi::parse_default | pugi::parse_declaration, pugi::encoding_utf8)) {
    return kOutOfMemory;  // the only way the parser fails on the skeleton
  }
  pugi::xml_node root = doc.document_element();
  pugi::xml_node measurement = root.child("RadMeasurement");
  pugi::xml_node spectrum = measurement.child("Spectrum");
  if (record.CalGain != 0) {
    SetText(root.child("EnergyCalibration").child("CoefficientValues"),
            SingleText(record.CalOffset) + " " + SingleText(record.CalGain) + " 0");
  } else {
    root.remove_child("EnergyCalibration");
    spectrum.remove_attribute("energyCalibrationReference");
  }
  const std::string specId = XmlText(record.SpecId);
  if (specId.empty()) {
    measurement.remove_child("Remark");
  } else {
    SetText(measurement.child("Remark"), specId);
  }
  if (const std::optional<CivilDate> date = RecogniseDate(record.AcqDate)) {
    const ClockTime time = RecogniseTime(record.AcqTime).value_or(ClockTime{});
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", date->year, date->month,
                  date->day, time.hour, time.minute, time.second);
    SetText(measurement.child("StartDateTime"), text);
  } else {
    measurement.remove_child("StartDateTime");
  }
  SetText(measurement.child("RealTimeDuration"), DurationOf(record.RealTime));
  SetText(spectrum.child("LiveTimeDuration"), DurationOf(record.LiveTime));
  // The counts are laid into the output after the document is written, in place of a one-digit
  // stand-in: digits and blanks need no escaping, and the writer need not look at each of them.
  // "<ChannelData" stands in the output only as the element's tag: a "<" in any text or
  // attribute value is written "&lt;".
  SetText(spectrum.child("ChannelData"), "0");
  struct Appender : pugi::xml_writer {
    explicit Appender(Bytes& target) : bytes(target) {}
    void write(const void* data, std::size_t size) override {
      bytes.append(static_cast<const char*>(data), size);
    }
    Bytes& bytes;
  };
  Bytes document;
  document.reserve(4096);
  Appender appender(document);
  doc.save(appender, "  ", pugi::format_indent, pugi::encoding_utf8);
  const std::size_t tag = document.find("<ChannelData");
  const std::size_t standIn = tag == Bytes::npos ? tag : document.find(">0</ChannelData>", tag);
  if (standIn == Bytes::npos) return kDoesNotFit;
  // A blank and at most 10 digits for each count, and the room of one step of 8 bytes. The
  // buffer keeps its memory from the last file and is cleared only where it grows.
  const std::size_t head = standIn + 1;
  const std::size_t room = head + 11 * record.Counts.size() + 8;
  if (out.size() < room) out.resize(room);
  std::memcpy(out.data(), document.data(), head);
  // Every count after a blank: the first blank lands on the start tag's ">", set again after.
  static const NumberTexts blankAndCount(" ", "");
  char* at = out.data() + head - 1;
  for (const std::int32_t count : record.Counts) {
    at = blankAndCount.Put(at, static_cast<unsigned long long>(count));  // not negative
  }
  out[head - 1] = '>';
  out.resize(static_cast<std::size_t>(at - out.data()));
  out.append(document, standIn + 2);
  return kDone;
}

}  // namespace durnix
