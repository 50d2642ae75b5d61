// SPDX-License-Identifier: GPL-3.0-or-later
#include "convert/stamp.h"

#include <charconv>
#include <cmath>

#include "formats/rbs.h"
#include "formats/sen.h"
#include "formats/text_rules.h"

namespace durnix {

bool StrictNumber(std::string_view text, double& value) {
  std::string_view t = Trim(text);
  if (!t.empty() && t[0] == '+') t.remove_prefix(1);
  if (t.empty() || t[0] == '+' || t[0] == ' ') return false;
  double parsed = 0;
  const auto [end, ec] =
      std::from_chars(t.data(), t.data() + t.size(), parsed, std::chars_format::general);
  if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool StrictInt16(std::string_view text, std::int16_t& value) {
  double parsed = 0;
  return StrictNumber(text, parsed) && RoundToInt16(parsed, value);
}

bool StrictSingle(std::string_view text, float& value) {
  double parsed = 0;
  if (!StrictNumber(text, parsed) || std::fabs(parsed) > 3.4028234663852886e38) return false;
  value = static_cast<float>(parsed);
  return true;
}

std::int16_t GeometryOfText(std::string_view text, std::int16_t previous) {
  if (text == "No Geom") return -1;
  if (text == "Cornell") return 0;
  if (text == "IBM") return 1;
  return previous;
}

std::string EditorText(float value) {
  return SingleText(value);
}

RumpDialogTexts StampTexts(const StampData& s) {
  RumpDialogTexts t;
  t.Version = s.Version;
  t.AtomicNo = std::to_string(s.AtomicNo);
  t.Mass = EditorText(s.Mass);
  t.BeamMeV = EditorText(s.BeamMeV);
  t.ChargeState = std::to_string(s.ChargeState);
  t.ChargeUC = EditorText(s.ChargeUC);
  t.CurrentNA = EditorText(s.CurrentNA);
  t.CalGain = EditorText(s.CalGain);
  t.CalOffset = EditorText(s.CalOffset);
  t.StartCh = EditorText(s.StartCh);
  t.Fwhm = EditorText(s.Fwhm);
  t.Correction = EditorText(s.Correction);
  t.Geometry = GeometryText(s.Geometry);
  t.Theta = EditorText(s.Theta);
  t.Phi = EditorText(s.Phi);
  t.Psi = EditorText(s.Psi);
  t.Omega = EditorText(s.Omega);
  return t;
}

RumpDialogTexts HeaderTexts(const SpectrumRecord& r) {
  StampData s;
  s.Version = r.Version;
  s.AtomicNo = r.AtomicNo;
  s.Mass = r.Mass;
  s.BeamMeV = r.BeamMeV;
  s.ChargeState = r.ChargeState;
  s.ChargeUC = r.ChargeUC;
  s.CurrentNA = r.CurrentNA;
  s.CalGain = r.CalGain;
  s.CalOffset = r.CalOffset;
  s.StartCh = r.StartCh;
  s.Fwhm = r.Fwhm;
  s.Correction = r.Correction;
  s.Geometry = r.Geometry;
  s.Theta = r.Theta;
  s.Phi = r.Phi;
  s.Psi = r.Psi;
  s.Omega = r.Omega;
  RumpDialogTexts t = StampTexts(s);
  t.Date = r.AcqDate;
  return t;
}

namespace {

// Stores the texts field by field in the editor's order into the members named by `target`,
// stopping at the first that does not convert. `skip` names the fields a kind does not carry.
template <class Target>
bool storeInOrder(const RumpDialogTexts& t, Target& target, bool senras) {
  target.Version = Trim(t.Version);
  if (!StrictInt16(t.AtomicNo, target.AtomicNo)) return false;
  if (!senras && !StrictSingle(t.Mass, target.Mass)) return false;
  if (!StrictSingle(t.BeamMeV, target.BeamMeV)) return false;
  if (!senras && !StrictInt16(t.ChargeState, target.ChargeState)) return false;
  if (!StrictSingle(t.ChargeUC, target.ChargeUC)) return false;
  if (!senras && !StrictSingle(t.CurrentNA, target.CurrentNA)) return false;
  if (!StrictSingle(t.CalGain, target.CalGain)) return false;
  if (!StrictSingle(t.CalOffset, target.CalOffset)) return false;
  if (!senras && !StrictSingle(t.StartCh, target.StartCh)) return false;
  if (!StrictSingle(t.Fwhm, target.Fwhm)) return false;
  if (!StrictSingle(t.Correction, target.Correction)) return false;
  target.Geometry = GeometryOfText(t.Geometry, target.Geometry);
  if (!StrictSingle(t.Theta, target.Theta)) return false;
  if (!StrictSingle(t.Phi, target.Phi)) return false;
  if (!senras && !StrictSingle(t.Psi, target.Psi)) return false;
  return StrictSingle(t.Omega, target.Omega);
}

}  // namespace

bool StoreStampTexts(const RumpDialogTexts& texts, StampData& stamp) {
  return storeInOrder(texts, stamp, false);
}

std::string HeaderEditorCaption(HeaderKind kind, const std::string& name) {
  return (kind == HeaderKind::kSenras ? "Edit SENRAS Data : " : "Edit Rump Data : ") + name;
}

HeaderKind HeaderKindOfCaption(std::string_view caption) {
  return caption.size() > 5 && caption[5] == 'S' ? HeaderKind::kSenras : HeaderKind::kRump;
}

Status ReadHeaderFile(const std::string& path, SpectrumRecord& record, HeaderKind& kind,
                      FileSystem& files) {
  record = SpectrumRecord();
  record.FileName = path;
  Status status = ReadRBS(record, files);
  if (status == kDone) {
    kind = HeaderKind::kRump;
    return kDone;
  }
  if (status == kCannotOpen) return status;
  record = SpectrumRecord();
  record.FileName = path;
  status = ReadSEN(record, files);
  if (status == kDone) kind = HeaderKind::kSenras;
  return status == kDone || status == kCannotOpen || status == kOutOfMemory ? status
                                                                            : kNotThisFormat;
}

FileResult CommitHeaderFile(const std::string& path, HeaderKind kind, const RumpDialogTexts& texts,
                            FileSystem& files) {
  const bool senras = kind == HeaderKind::kSenras;
  SpectrumRecord record;
  record.FileName = path;
  const FileResult read = senras ? ReadSEN(record, files) : ReadRBS(record, files);
  if (read != kDone) return read;
  // Every field is converted before anything is written.
  SpectrumRecord edited = record;
  edited.AcqDate = Trim(texts.Date);
  if (!storeInOrder(texts, edited, senras)) return {kInvalidData, 0};
  // Written back under its own name: the writers' naming rule would change the extension.
  Bytes file;
  const Status encoded = senras ? EncodeSEN(edited, file) : EncodeRBS(edited, file);
  if (encoded != kDone) return {encoded, 0};
  return files.WriteFile(path, file);
}

FileResult CommitRumpDialog(const RumpDialogTexts& texts, const RumpEditorTarget& target,
                            StampData& stamp, FileSystem& files) {
  if (target.rumpEditing) {
    // The path as the file system has it: names may end in blanks.
    return CommitHeaderFile(target.path, HeaderKindOfCaption(target.caption), texts, files);
  }
  return {StoreStampTexts(texts, stamp) ? kDone : kInvalidData, 0};
}

void StampRump(const StampData& s, bool withCalibration, SpectrumRecord& r) {
  r.Version = s.Version;
  r.AtomicNo = s.AtomicNo;
  r.Mass = s.Mass;
  r.BeamMeV = s.BeamMeV;
  r.ChargeState = s.ChargeState;
  r.ChargeUC = s.ChargeUC;
  r.CurrentNA = s.CurrentNA;
  r.StartCh = s.StartCh;
  r.Fwhm = s.Fwhm;
  r.Correction = s.Correction;
  r.Geometry = s.Geometry;
  r.Theta = s.Theta;
  r.Phi = s.Phi;
  r.Psi = s.Psi;
  r.Omega = s.Omega;
  if (withCalibration) {
    r.CalGain = s.CalGain;
    r.CalOffset = s.CalOffset;
  }
}

void StampSenras(StampData& s, bool withCalibration, SpectrumRecord& r) {
  r.Version = s.Version;
  r.AtomicNo = s.AtomicNo;
  r.BeamMeV = s.BeamMeV;
  r.Fwhm = s.Fwhm;
  r.Correction = s.Correction;
  r.Geometry = s.Geometry;
  r.Theta = s.Theta;
  r.Phi = s.Phi;
  r.Omega = s.Omega;
  if (s.ChargeState == 0) s.ChargeState = 1;
  r.ChargeUC = s.ChargeUC / static_cast<float>(s.ChargeState);
  if (withCalibration) {
    r.CalGain = s.CalGain;
    r.CalOffset = s.CalOffset;
  }
}

}  // namespace durnix
