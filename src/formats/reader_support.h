// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What every reader and writer does around its format: reading the file once, keeping the
// caller's record untouched on failure, naming and writing the output file.

#include <cerrno>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "formats/catalogue.h"
#include "formats/file_system.h"
#include "formats/text_rules.h"

namespace durnix::detail {

// Runs `parse(bytes, work)` on a copy of `record` whose spectrum is empty; the copy replaces the
// record only when the parse succeeds. On failure the record keeps its fields but its spectrum is
// emptied, as every failed reader leaves it.
template <class Parse>
Status ReadTransaction(ByteView bytes, SpectrumRecord& record, Parse&& parse) {
  try {
    SpectrumRecord work;
    {
      auto counts = std::move(record.Counts);
      record.Counts.clear();
      try {
        work = record;
      } catch (...) {
        record.Counts = std::move(counts);
        throw;
      }
      // The memory of the old spectrum serves the new one.
      counts.clear();
      work.Counts = std::move(counts);
    }
    work.ChannelCount = 0;
    const Status status = std::forward<Parse>(parse)(bytes, work);
    if (status == kDone && work.Counts.size() == static_cast<std::size_t>(work.ChannelCount)) {
      record = std::move(work);
      return kDone;
    }
    record.Counts = std::move(work.Counts);
    record.clearSpectrum();
    return status == kDone ? kNotThisFormat : status;
  } catch (const std::bad_alloc&) {
    record.clearSpectrum();
    return kOutOfMemory;
  }
}

// Reads the file named by record.FileName once (into `buffer`, whose memory is reused) and hands
// its bytes to `read`.
template <class Read>
FileResult ReadFile(FileSystem& files, SpectrumRecord& record, Read&& read, Bytes& buffer) {
  const FileResult status = files.ReadFile(record.FileName, buffer);
  if (status != kDone) {
    record.clearSpectrum();
    return status;
  }
  return {std::forward<Read>(read)(ByteView(buffer), record), 0};
}

template <class Read>
FileResult ReadFile(FileSystem& files, SpectrumRecord& record, Read&& read) {
  Bytes buffer;
  return ReadFile(files, record, std::forward<Read>(read), buffer);
}

// Names the output file by the writer's rule, builds it with `encode` in `out` (whose memory is
// reused) and writes it whole or not at all.
// Where `placing` is kNewOnly, an existing file (one that appeared since the caller looked) is
// never replaced: 71 with the error number of an existing file.
template <class Encode>
FileResult WriteFile(FileSystem& files, SpectrumRecord& record, std::string_view extension,
                     ExtensionRule rule, Encode&& encode, Bytes& out, Placing placing) {
  try {
    record.FileName = WithWriterExtension(record.FileName, extension, rule);
    // Encoders start from an empty buffer or write over all of it; its memory is kept.
    const Status status = std::forward<Encode>(encode)(record, out);
    if (status != kDone) return {status, 0};
    return placing == Placing::kNewOnly ? files.CreateFile(record.FileName, out)
                                        : files.WriteFile(record.FileName, out);
  } catch (const std::bad_alloc&) {
    return {kOutOfMemory, ENOMEM};
  }
}

template <class Encode>
FileResult WriteFile(FileSystem& files, SpectrumRecord& record, std::string_view extension,
                     ExtensionRule rule, Encode&& encode) {
  Bytes out;
  return WriteFile(files, record, extension, rule, std::forward<Encode>(encode), out,
                   Placing::kReplace);
}

// Reads `n` little-endian int32 counts from `at` (the caller has checked the length).
inline void ReadInt32Counts(ByteView bytes, std::size_t at, std::size_t n,
                            std::vector<std::int32_t>& counts) {
  counts.resize(n);
  // Through a plain pointer, so that the compiler makes one load of each value.
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + at);
  for (std::size_t i = 0; i < n; ++i, p += 4) {
    counts[i] = static_cast<std::int32_t>(
        static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
        (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24));
  }
}

inline void WriteInt32Counts(ByteWriter& w, const std::vector<std::int32_t>& counts) {
  w.i32leAll(counts.data(), counts.size());
}

// `n` bytes of text from `at`, trimmed at both ends.
inline std::string TrimmedText(ByteView bytes, std::size_t at, std::size_t n) {
  return std::string(Trim(bytes.substr(at, n)));
}

// True when `count` lies in the range a format's reader accepts.
inline bool ChannelCountIn(const SpectrumRecord& record, int min, int max) {
  return record.ChannelCount >= min && record.ChannelCount <= max;
}

// True when the record's spectrum is consistent (Counts holds ChannelCount entries).
inline bool SpectrumIsConsistent(const SpectrumRecord& record) {
  return record.ChannelCount >= 0 &&
         record.Counts.size() == static_cast<std::size_t>(record.ChannelCount);
}

}  // namespace durnix::detail
