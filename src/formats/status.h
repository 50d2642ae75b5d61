// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace durnix {

// Every reader, writer and fallible operation returns one of these codes; no exception leaves
// a core function.
using Status = std::int16_t;

inline constexpr Status kDone = 0;            // read, written or detected
inline constexpr Status kNotThisFormat = 1;   // not of this format, or out of its limits
inline constexpr Status kSourceUnknown = 2;   // the source format names no catalogue entry
inline constexpr Status kPixeOrNra = 3;       // an RBS file of PIXE or NRA data
inline constexpr Status kUnknownFormat = 4;   // detection found no format
inline constexpr Status kInternalFault = 5;   // a writer returned a code the run does not know
inline constexpr Status kDoesNotFit = 6;      // a value does not fit, or writing failed
inline constexpr Status kOutOfMemory = 7;     // memory or system resources ran out
inline constexpr Status kSkipped = 8;         // skipped by the user's answer
inline constexpr Status kDestUnknown = 9;     // the destination format names no catalogue entry
inline constexpr Status kBadAxisValues = 11;  // mass or efficiency rejected by the axis conversion
inline constexpr Status kArithmetic = 200;    // an arithmetic failure in the axis conversion
inline constexpr Status kCannotOpen = 53;     // the file cannot be opened for reading
inline constexpr Status kCannotCreate = 71;   // the file cannot be created or replaced

}  // namespace durnix
