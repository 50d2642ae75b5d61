// SPDX-License-Identifier: GPL-3.0-or-later
#include "formats/catalogue.h"

#include <charconv>

#include "formats/accuspec_mca.h"
#include "formats/ans.h"
#include "formats/ascii.h"
#include "formats/canberra.h"
#include "formats/chn.h"
#include "formats/csv.h"
#include "formats/gv_spc.h"
#include "formats/iec61455.h"
#include "formats/kodaq.h"
#include "formats/n42.h"
#include "formats/ncl_snf.h"
#include "formats/ortec_spe.h"
#include "formats/rbs.h"
#include "formats/reader_support.h"
#include "formats/sen.h"
#include "formats/spm.h"
#include "formats/spt.h"
#include "formats/text_rules.h"

namespace durnix {

namespace {

constexpr auto kAfterFirst = ExtensionRule::kAfterFirstDot;

// Writers that leave the record as it is, in the catalogue's form.
template <Status (*encode)(const SpectrumRecord&, Bytes&)>
Status encodeUnchanged(SpectrumRecord& record, Bytes& out) {
  return encode(record, out);
}

// What a reader of files of one spectrum leaves out, in the catalogue's form.
template <std::vector<std::string> (*dropped)(ByteView)>
std::vector<std::string> oneSpectrum(ByteView bytes, std::size_t /*index*/) {
  return dropped(bytes);
}

const std::array<FormatInfo, kFormatCount> kCatalogue = {{
    {FMT_AUTO, "FMT_AUTO", "AUTO detection", "*.*", "", "AUTO", kAfterFirst, nullptr, nullptr},
    {FMT_RBS, "FMT_RBS", "RUMP (RBS)", "*.RBS", "RBS", "RBS", kAfterFirst, ReadRBS,
     encodeUnchanged<EncodeRBS>},
    {FMT_CHN, "FMT_CHN", "EG&G Maestro II (CHN)", "*.CHN", "CHN", "CHN", kAfterFirst, ReadChn,
     EncodeChn},
    {FMT_GV_SPC, "FMT_GV_SPC", "EG&G GammaVision (SPC)", "*.SPC", "SPC", "GVSPC",
     ExtensionRule::kAfterLastDot, ReadGvSpc, encodeUnchanged<EncodeGvSpc>},
    {FMT_SPT, "FMT_SPT", "New Oxford (SPT)", "*.SPT", "SPT", "SPT", kAfterFirst, ReadSpt,
     EncodeSpt},
    {FMT_SPM, "FMT_SPM", "Old Oxford (SPM or PCA)", "*.SPM", "SPM", "SPM", kAfterFirst, ReadSpm,
     encodeUnchanged<EncodeSpm>},
    {FMT_AS1, "FMT_AS1", "ASCII with channel (AS1)", "*.AS1", "AS1", "AS1", kAfterFirst, ReadAS1,
     encodeUnchanged<EncodeAS1>},
    {FMT_AS2, "FMT_AS2", "ASCII without channel (AS2)", "*.AS2", "AS2", "AS2", kAfterFirst, ReadAS2,
     encodeUnchanged<EncodeAS2>},
    {FMT_CANBERRA, "FMT_CANBERRA", "CANBERRA (SPC)", "*.SPC", "MCA", "CANBERRA", kAfterFirst,
     ReadCanberra, encodeUnchanged<EncodeCanberra>},
    {FMT_ANS, "FMT_ANS", "QuantumX (ANS)", "*.ANS", "ANS", "ANS", kAfterFirst, ReadAns, EncodeAns},
    {FMT_SEN, "FMT_SEN", "SENRAS (SEN)", "*.SEN", "SEN", "SEN", kAfterFirst, ReadSEN,
     encodeUnchanged<EncodeSEN>},
    {FMT_NCL, "FMT_NCL", "NUCLEUS (NCL)", "*.NCL", "NCL", "NCL", kAfterFirst, ReadNcl,
     encodeUnchanged<EncodeNcl>},
    {FMT_SNF, "FMT_SNF", "Charles Evans Hypra (SNF)", "*.SNF", "SNF", "SNF", kAfterFirst, ReadSnf,
     encodeUnchanged<EncodeSnf>},
    {FMT_KODAQ, "FMT_KODAQ", "KODAQ (SPC)", "*.SPC", "SPC", "KODAQ", kAfterFirst, ReadKodaq,
     encodeUnchanged<EncodeKodaq>},
    {FMT_SPE, "FMT_SPE", "ORTEC ASCII (SPE)", "*.SPE", "Spe", "SPE", ExtensionRule::kAfterLastDot,
     ReadSpe, encodeUnchanged<EncodeSpe>, HasSpeSignature, oneSpectrum<SpeDropped>},
    {FMT_IEC, "FMT_IEC", "IEC 61455 (IEC)", "*.IEC", "IEC", "IEC", ExtensionRule::kAfterLastDot,
     ReadIec, encodeUnchanged<EncodeIec>, HasIecSignature, oneSpectrum<IecDropped>},
    {FMT_N42, "FMT_N42", "ANSI N42.42 XML (N42)", "*.N42", "n42", "N42",
     ExtensionRule::kAfterLastDot, ReadN42, encodeUnchanged<EncodeN42>, HasN42Signature, N42Dropped,
     ReadN42Spectrum, N42Spectra},
    {FMT_CSV, "FMT_CSV", "CSV with energies (CSV)", "*.CSV", "csv", "CSV",
     ExtensionRule::kAfterLastDot, ReadCsv, encodeUnchanged<EncodeCsv>, HasCsvSignature,
     oneSpectrum<CsvDropped>},
    // No signature: tried after the thirteen, so that none of their files is taken for it.
    {FMT_MCA, "FMT_MCA", "Canberra AccuSpec (MCA)", "*.MCA", "", "MCA",
     ExtensionRule::kAfterLastDot, ReadAccuSpec, nullptr, nullptr, oneSpectrum<AccuSpecDropped>},
}};

}  // namespace

const std::array<FormatInfo, kFormatCount>& FormatCatalogue() {
  return kCatalogue;
}

const FormatInfo& Format(FormatCode code) {
  return kCatalogue[static_cast<std::size_t>(code)];
}

const FormatInfo* FindFormatByDisplayName(std::string_view name) {
  for (const FormatInfo& format : kCatalogue) {
    if (format.displayName == name) return &format;
  }
  return nullptr;
}

const FormatInfo* FindFormat(std::string_view nameCodeOrKey) {
  const std::string wanted = UpperAscii(Trim(nameCodeOrKey));
  int code = -1;
  const auto [end, ec] = std::from_chars(wanted.data(), wanted.data() + wanted.size(), code);
  if (ec == std::errc() && end == wanted.data() + wanted.size() && code >= 0 &&
      code < kFormatCount) {
    return &kCatalogue[static_cast<std::size_t>(code)];
  }
  for (const FormatInfo& format : kCatalogue) {
    if (UpperAscii(format.displayName) == wanted || format.key == wanted) return &format;
  }
  return nullptr;
}

std::string WithWriterExtension(std::string_view path, std::string_view extension,
                                ExtensionRule rule) {
  const auto slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
  // A name that begins with dots is hidden; those dots do not start an extension.
  std::size_t searchFrom = nameStart;
  while (searchFrom < path.size() && path[searchFrom] == '.') ++searchFrom;
  std::size_t dot = std::string_view::npos;
  if (searchFrom < path.size()) {
    dot = rule == ExtensionRule::kAfterFirstDot ? path.find('.', searchFrom) : path.rfind('.');
    if (dot != std::string_view::npos && dot < searchFrom) dot = std::string_view::npos;
  }
  std::string named(path.substr(0, dot == std::string_view::npos ? path.size() : dot));
  named += '.';
  named += extension;
  return named;
}

std::string_view OwnName(std::string_view path) {
  const auto slash = path.rfind('/');
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

Status ParseFormat(const FormatInfo& format, ByteView bytes, SpectrumRecord& record,
                   std::size_t spectrum) {
  if (!format.readable()) {
    record.clearSpectrum();
    return kNotThisFormat;
  }
  if (format.parseSpectrum != nullptr) return format.parseSpectrum(bytes, spectrum, record);
  return format.parse(bytes, record);
}

FileResult ReadFormat(FileSystem& files, const FormatInfo& format, SpectrumRecord& record,
                      Bytes& buffer, std::size_t spectrum) {
  return detail::ReadFile(
      files, record,
      [&](ByteView bytes, SpectrumRecord& r) { return ParseFormat(format, bytes, r, spectrum); },
      buffer);
}

FileResult ReadFormat(const FormatInfo& format, SpectrumRecord& record, FileSystem& files) {
  Bytes buffer;
  return ReadFormat(files, format, record, buffer);
}

FileResult WriteFormat(FileSystem& files, const FormatInfo& format, SpectrumRecord& record,
                       Bytes& buffer, Placing placing) {
  if (!format.writable()) return {kDestUnknown, 0};
  return detail::WriteFile(files, record, format.extension, format.extensionRule, format.encode,
                           buffer, placing);
}

FileResult WriteFormat(const FormatInfo& format, SpectrumRecord& record, FileSystem& files) {
  Bytes buffer;
  return WriteFormat(files, format, record, buffer, Placing::kReplace);
}

bool ChannelRangeOf(const FormatInfo& format, int& low, int& high) {
  struct Range {
    int code, low, high;
  };
  static constexpr Range kRanges[] = {
      {FMT_AS1, kAsciiMinChannels, kAsciiMaxChannels},
      {FMT_AS2, kAsciiMinChannels, kAsciiMaxChannels},
      {FMT_CHN, kChnMinChannels, kChnMaxChannels},
      {FMT_GV_SPC, kGvMinChannels, kGvMaxChannels},
      {FMT_KODAQ, kKodaqMinChannels, kKodaqMaxChannels},
      {FMT_ANS, kAnsMinChannels, kAnsMaxChannels},
      {FMT_SPM, kSpmMinChannels, kSpmMaxChannels},
      {FMT_CANBERRA, kCanberraMinChannels, kCanberraMaxChannels},
      {FMT_SPE, 1, kSpeMaxChannels},
      {FMT_IEC, 1, kIecMaxChannels},
      {FMT_N42, 1, kN42MaxChannels},
      {FMT_CSV, 1, kCsvMaxChannels},
  };
  for (const Range& range : kRanges) {
    if (range.code == format.code) {
      low = range.low;
      high = range.high;
      return true;
    }
  }
  return false;
}

std::string ChannelRangeMessage(const std::string& path, int channels, const FormatInfo& format) {
  int low = 0, high = 0;
  ChannelRangeOf(format, low, high);
  return UpperAscii(path) + " has " + std::to_string(channels) + " channels; " +
         std::string(format.displayName) + " holds " + std::to_string(low) + " to " +
         std::to_string(high) + " channels.";
}

}  // namespace durnix
