// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The viewer's commands without a window: the areas of a region of interest, adding or
// subtracting a second spectrum, and shrinking; the results saved as the viewer's Save does.
// Each returns the exit status of commands.h.

#include <iosfwd>
#include <string>
#include <vector>

#include "formats/catalogue.h"
#include "formats/spectrum_record.h"
#include "viewer/viewer_document.h"

namespace durnix::cli {

// A spectrum as a viewer holds it: read by detection, in the viewer's document.
struct Viewed {
  SpectrumRecord record;
  const FormatInfo* format = nullptr;
  ViewerDocument document;
};
// Reads `file` so; false, with the viewer's message on `err`, when it cannot be read.
bool ReadViewed(const std::string& file, Viewed& viewed, std::ostream& err);

struct RoiOptions {
  std::string file;
  int from = 0;  // channels counted from 0, as the viewer shows them
  int to = 0;
  bool json = false;
};
int RoiCommand(const RoiOptions& options, std::ostream& out, std::ostream& err);

// Where and how the result is saved.
struct ViewerSaveOptions {
  std::string to;  // a format (name, code or key); empty: the file's own format
  std::string outDir = ".";
  bool overwrite = false;
  bool yes = false;  // Yes to "... has not 1024 channel. Continue ?"
};

struct ArithmeticOptions {
  std::string file;
  std::string second;
  std::string factor = "1";  // as typed into the Multiplication field
  bool subtract = false;
  ViewerSaveOptions save;
};
int ArithmeticCommand(const ArithmeticOptions& options, std::ostream& out, std::ostream& err);

enum class ShrinkKind { kTwoChannel, kConstant, kLinear, kQuadratic };

struct ShrinkOptions {
  std::string file;
  ShrinkKind kind = ShrinkKind::kTwoChannel;
  std::vector<std::string> values;  // sigma, or A B, or A B C, as typed
  ViewerSaveOptions save;
};
int ShrinkCommand(const ShrinkOptions& options, std::ostream& out, std::ostream& err);

}  // namespace durnix::cli
