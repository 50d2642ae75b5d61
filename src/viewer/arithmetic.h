// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Adding, subtracting and comparing a second spectrum, each time scaled by the multiplication
// factor, and reading that second spectrum by automatic detection.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "convert/prompter.h"
#include "formats/file_system.h"
#include "formats/status.h"

namespace durnix {

// The multiplication factor of txtMultipl: a value that is 0, negative, empty or not a number
// (the numeric-prefix rule) counts as 1.
float MultiplicationFactor(std::string_view text);
// The text the field shows for a factor (single-precision text: "1", "0.5").
std::string FactorText(float factor);

// "Some channel of FILE is overflowed !!" (FILE in upper case).
std::string ChannelOverflowMessage(const std::string& path);

// Add: for channels below the smaller of both lengths, round(m x second + view) in double
// precision, halves to even. Subtract: round(view - m x second), a negative result 0.
// Returns false, changing nothing, when a result does not fit a 32-bit count.
bool AddSpectrum(std::vector<std::int32_t>& view, const std::vector<std::int32_t>& second,
                 double factor);
bool SubtractSpectrum(std::vector<std::int32_t>& view, const std::vector<std::int32_t>& second,
                      double factor);
// Compare: the second spectrum scaled, round(m x count). False (unchanged) when one does not fit.
bool ScaleCompared(std::vector<std::int32_t>& second, double factor);

// Reads the file at `path` by detection into `counts` (emptied first; counts[c] is channel c).
// Readers are tried in catalogue order, the ASCII ones only on text; an Oxford spectrum keeps
// the lowest 24 bits of each count. Failures are told through `prompter` with the viewer's
// messages ("P has unknown format !!", "... is not found !! Retry ?" with Yes and No, ...).
// Returns 0 when loaded, otherwise the last status (the message has been shown).
Status LoadSecondSpectrum(FileSystem& files, const std::string& path,
                          std::vector<std::int32_t>& counts, Prompter& prompter);

// The viewer's messages for a status of reading `path` (P in upper case): 1 and 4 "P has unknown
// format !!", 3 "P has PIXE or NRA format !!", 5, 7, 53 "Disk is not ready or P is not found !!".
std::string ViewerReadMessage(Status status, const std::string& path);

// Keeps the lowest 24 bits of every count (the Oxford formats' counts, as the viewer shows them).
void KeepLow24Bits(std::vector<std::int32_t>& counts);

}  // namespace durnix
