// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Whole-file reading and atomic replacement, the only places where spectrum files touch the disk.

#include <cstddef>
#include <string>

#include "formats/byte_io.h"
#include "formats/status.h"

namespace durnix {

// No spectrum of any format comes near this size; larger files are not read at all.
inline constexpr std::size_t kMaxSpectrumFileBytes = 64u << 20;

// Reads the whole file into `out`.
// Returns 53 when it cannot be opened (missing, unreadable, a folder), 1 when it is larger than
// kMaxSpectrumFileBytes or reading fails, 7 when memory runs out.
Status ReadFileBytes(const std::string& path, Bytes& out);

// Writes `data` to a temporary file beside `path`, then renames it over `path`, so an existing
// file is either replaced whole or left as it was. A file that does not exist yet is written in
// place and removed again when writing fails. A new file gets the permissions that the user's
// umask allows; a replaced file keeps its own.
// Returns 71 when the file cannot be created (folder missing or not writable, an existing target
// that is read-only or not a regular file), 6 when writing fails, 7 when memory runs out.
Status WriteFileReplacing(const std::string& path, ByteView data);

// True when `path` names an existing file system entry (of any kind).
bool PathExists(const std::string& path);

namespace testing {
// Replaces the system's write() for the writes of WriteFileReplacing (nullptr restores it), so
// tests can make a write fail part way through.
using WriteFunction = long (*)(int fd, const void* buf, std::size_t n);
void SetWriteFunction(WriteFunction fn);
}  // namespace testing

}  // namespace durnix
