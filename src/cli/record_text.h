// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How durnix-cli shows a spectrum record: as JSON (one object per line) or as readable text.

#include <nlohmann/json.hpp>
#include <string>
#include <string_view>

#include "formats/spectrum_record.h"
#include "formats/status.h"

namespace durnix::cli {

// 8-bit text as UTF-8, each byte becoming the code point of the same number.
std::string Latin1ToUtf8(std::string_view text);

// "file", "status", "format", then every field of the record under its own name. Paths stay the
// system's bytes; print with JsonLine, which replaces what is not UTF-8.
nlohmann::ordered_json RecordJson(std::string_view file, Status status, std::string_view format,
                                  const SpectrumRecord& record);

// One line of JSON; bytes of a path that are not UTF-8 show as U+FFFD.
std::string JsonLine(const nlohmann::ordered_json& json);

// The same, one "Name: value" line per field, counts ten to a line.
std::string RecordText(std::string_view file, Status status, std::string_view format,
                       const SpectrumRecord& record);

}  // namespace durnix::cli
