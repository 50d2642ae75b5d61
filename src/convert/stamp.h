// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The stamp data (the RUMP header kept in the preferences and stamped onto every RUMP or SENRAS
// file a conversion writes) and the logic of the header editor: storing what was typed into
// the stamp data or into the header of an RBS or SEN file.

#include <cstdint>
#include <string>

#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

struct StampData {
  std::string Version;
  std::int16_t AtomicNo = 0;
  float Mass = 0;
  float BeamMeV = 0;
  std::int16_t ChargeState = 0;
  float ChargeUC = 0;
  float CurrentNA = 0;
  float CalGain = 0;
  float CalOffset = 0;
  float StartCh = 0;
  float Fwhm = 0;
  float Correction = 0;
  std::int16_t Geometry = 0;  // -1 no geometry, 0 Cornell, 1 IBM
  float Theta = 0;
  float Phi = 0;
  float Psi = 0;
  float Omega = 0;

  bool operator==(const StampData&) const = default;
};

// The texts of the header editor's fields, as typed.
struct RumpDialogTexts {
  std::string Version, Date, AtomicNo, Mass, BeamMeV, ChargeState, ChargeUC, CurrentNA, CalGain,
      CalOffset, StartCh, Fwhm, Correction, Geometry, Theta, Phi, Psi, Omega;
};

// The geometry list of the editor.
inline constexpr const char* kGeometryTexts[] = {"IBM", "Cornell", "No Geom"};

// The program's strict reading of a number typed into a field: the whole text, blanks around it
// aside, must be a decimal number ("12", "-0.5", "1e-3"); an empty text is not a number.
bool StrictNumber(std::string_view text, double& value);
// The same for a 16-bit field: rounded half to even, within -32768..32767.
bool StrictInt16(std::string_view text, std::int16_t& value);
bool StrictSingle(std::string_view text, float& value);

// The geometry code of a list text: -1 "No Geom", 0 "Cornell", 1 "IBM"; `previous` for any other.
std::int16_t GeometryOfText(std::string_view text, std::int16_t previous);

// How a number is shown in the editor: the shortest text of the value.
std::string EditorText(float value);

// The editor's texts for the stamp data, and for the header of a record.
RumpDialogTexts StampTexts(const StampData& stamp);
RumpDialogTexts HeaderTexts(const SpectrumRecord& record);

// Stores the texts into the stamp data in the editor's order (Version, AtomicNo, Mass, BeamMeV,
// ChargeState, ChargeUC, CurrentNA, CalGain, CalOffset, StartCh, Fwhm, Correction, Geometry,
// Theta, Phi, Psi, Omega). At the first text that is not a number it stops: the members before
// it keep their new values, the rest their old ones. Returns false then.
bool StoreStampTexts(const RumpDialogTexts& texts, StampData& stamp);

enum class HeaderKind { kRump, kSenras };

// The header editor's caption for a file: "Edit Rump Data : NAME" or "Edit SENRAS Data : NAME".
std::string HeaderEditorCaption(HeaderKind kind, const std::string& name);
// The kind that a caption names (its sixth character is "S" for SENRAS).
HeaderKind HeaderKindOfCaption(std::string_view caption);

// Reads the RBS or SEN file at `path` (RUMP first, then SENRAS) for the editor.
// Returns 0, or 1 when it is neither (the caller says "... is not RUMP or SENRAS file !!").
Status ReadHeaderFile(const std::string& path, SpectrumRecord& record, HeaderKind& kind,
                      FileSystem& files);

inline constexpr Status kInvalidData = 12;  // a field of the editor is not a number

// Stores the texts into the header of the file at `path`: the file is read again, its header
// fields replaced from the texts (only those its kind carries), and written back to the same
// path in one piece. Nothing is written unless the read succeeded and every field converted.
// Returns 0; 12 (kInvalidData) for a field that is not a number; the reader's status (1, 7, 53)
// when the file can no longer be read; the writer's (6, 7, 71) when it cannot be written.
// A failure to read or write comes with the system's error number.
FileResult CommitHeaderFile(const std::string& path, HeaderKind kind, const RumpDialogTexts& texts,
                            FileSystem& files);

// Copies the stamp data into a record about to be written as RBS or SEN, as a conversion with
// stamp mode on does. The calibration is copied only when `withCalibration`.
void StampRump(const StampData& stamp, bool withCalibration, SpectrumRecord& record);

// What the header editor edits: a file (its caption names the kind, its path label the file) or
// the stamp data.
struct RumpEditorTarget {
  bool rumpEditing = false;  // a file; otherwise the stamp data
  std::string caption;       // "Edit Rump Data : NAME" or "Edit SENRAS Data : NAME"
  std::string path;          // the path label
};

// OK of the header editor: stores the texts into the file or into the stamp data.
// Returns 0, 12 when a field is not a number ("There are some invalid data"), or the status of
// reading or writing the file (CommitHeaderFile).
FileResult CommitRumpDialog(const RumpDialogTexts& texts, const RumpEditorTarget& target,
                            StampData& stamp, FileSystem& files);
// SENRAS carries no mass, charge state, current, start channel or Psi; its charge is the stamp's
// charge divided by the charge state (a charge state of 0 is first set to 1 in the stamp).
void StampSenras(StampData& stamp, bool withCalibration, SpectrumRecord& record);

}  // namespace durnix
