// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The format catalogue: every format by its code, in the fixed order of the format lists, the
// masks and the configuration file, with its reader and writer.

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "formats/byte_io.h"
#include "formats/file_system.h"
#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix {

enum FormatCode : int {
  FMT_AUTO = 0,
  FMT_RBS = 1,
  FMT_CHN = 2,
  FMT_GV_SPC = 3,
  FMT_SPT = 4,
  FMT_SPM = 5,
  FMT_AS1 = 6,
  FMT_AS2 = 7,
  FMT_CANBERRA = 8,
  FMT_ANS = 9,
  FMT_SEN = 10,
  FMT_NCL = 11,
  FMT_SNF = 12,
  FMT_KODAQ = 13,
  // Formats of other programs of the field, after the thirteen of the format lists' fixed order.
  FMT_SPE = 14,
  FMT_IEC = 15,
  FMT_N42 = 16,
  FMT_CSV = 17,
  // Read only, and so last: the lists of formats that can be written end before it.
  FMT_MCA = 18,
};

inline constexpr int kFormatCount = 19;

// Parses a file's bytes into the record (the reader proper, without the file).
using ParseFunction = Status (*)(ByteView bytes, SpectrumRecord& record);
// Builds a whole file in memory from the record. Some writers change fields of the record as they
// write them (a default identifier, trimmed texts), as the record then describes the file.
using EncodeFunction = Status (*)(SpectrumRecord& record, Bytes& out);
// Of a format whose files hold several spectra: reads spectrum `index` (from 0).
using ParseSpectrumFunction = Status (*)(ByteView bytes, std::size_t index, SpectrumRecord& record);
// True when the bytes certainly are of the format (no file of another format passes).
using SignatureFunction = bool (*)(ByteView bytes);
// What the reader of spectrum `index` leaves out because the record cannot hold it, each named
// once ("$ROI", "quadratic calibration term -6.86613e-10").
using DroppedFunction = std::vector<std::string> (*)(ByteView bytes, std::size_t index);
// One line for each spectrum of a file that holds several.
using SpectraFunction = std::vector<std::string> (*)(ByteView bytes);

enum class ExtensionRule {
  kAfterFirstDot,  // everything after the name's first "." is replaced
  kAfterLastDot,   // only the text after the last "." is replaced
};

struct FormatInfo {
  FormatCode code;
  std::string_view constant;     // "FMT_RBS"
  std::string_view displayName;  // "RUMP (RBS)": the key by which a chosen format is found
  std::string_view mask;         // "*.RBS"
  std::string_view extension;  // "RBS" as written by the writer; empty for AUTO and read-only ones
  std::string_view key;        // short name for the command line: "RBS", "GVSPC", ...
  ExtensionRule extensionRule;
  ParseFunction parse;    // null while the format is not built, and for AUTO
  EncodeFunction encode;  // null while the format is not built, for AUTO and read-only formats
  // Formats of other programs, after the thirteen: a certain signature, by which detection
  // recognises the format before the thirteen are tried (null: tried after them); what the
  // record cannot hold; the spectra of a file of several.
  SignatureFunction signature = nullptr;
  DroppedFunction dropped = nullptr;
  ParseSpectrumFunction parseSpectrum = nullptr;
  SpectraFunction spectra = nullptr;

  bool readable() const { return parse != nullptr; }
  bool writable() const { return encode != nullptr; }
};

const std::array<FormatInfo, kFormatCount>& FormatCatalogue();
const FormatInfo& Format(FormatCode code);

// The entry whose display name is exactly `name`; nothing when none is.
const FormatInfo* FindFormatByDisplayName(std::string_view name);

// The entry named by a display name, a code ("0" to "14") or a short key, in any letter case.
const FormatInfo* FindFormat(std::string_view nameCodeOrKey);

// The path that a writer with extension `extension` writes for `path`: within the file's own name
// (after the last "/") the text after the first "." (or the last, by `rule`) is replaced by the
// extension, or "." and the extension are appended. Dots that begin a hidden file's name are part
// of the name, not an extension.
std::string WithWriterExtension(std::string_view path, std::string_view extension,
                                ExtensionRule rule = ExtensionRule::kAfterFirstDot);

// The file's own name: the part of `path` after its last "/".
std::string_view OwnName(std::string_view path);

// Reads the file named by record.FileName with the format's reader, the file's bytes into
// `buffer` (whose memory is reused from one file to the next).
// Returns the reader's status; 53 when the file cannot be opened (with the system's error
// number), 1 when the format has no reader. `spectrum` (from 0) chooses among the spectra of a
// file that holds several; a file of one spectrum is read whole whatever it says, and a file of
// several that has no such spectrum is not read (1).
FileResult ReadFormat(FileSystem& files, const FormatInfo& format, SpectrumRecord& record,
                      Bytes& buffer, std::size_t spectrum = 0);
FileResult ReadFormat(const FormatInfo& format, SpectrumRecord& record, FileSystem& files);

// Reads `bytes` with the format's reader; the record is changed only on success, except that
// a failure leaves its spectrum empty. Returns the reader's status (7 when memory runs out).
Status ParseFormat(const FormatInfo& format, ByteView bytes, SpectrumRecord& record,
                   std::size_t spectrum = 0);

// Sets record.FileName to the writer's name for it, builds the file in `buffer` and puts it in
// place whole: over an existing file (kReplace) or only where there is none (kNewOnly). Returns
// 0, 6 (a value does not fit the format), 7 or 71 (the file cannot be created or written; with
// kNewOnly also when a file of that name exists, the error number then being EEXIST).
FileResult WriteFormat(FileSystem& files, const FormatInfo& format, SpectrumRecord& record,
                       Bytes& buffer, Placing placing);
FileResult WriteFormat(const FormatInfo& format, SpectrumRecord& record, FileSystem& files);

// The numbers of channels the writer of `format` holds; false for a format without such a range.
bool ChannelRangeOf(const FormatInfo& format, int& low, int& high);
// "P has 128 channels; ASCII with channel (AS1) holds 256 to 16384 channels." (P in upper case),
// for a format with a range.
std::string ChannelRangeMessage(const std::string& path, int channels, const FormatInfo& format);

}  // namespace durnix
