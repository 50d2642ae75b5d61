// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Little- and big-endian access to the bytes of a spectrum file. Every multi-byte field of every
// format goes through these helpers; nothing copies host-order memory.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace durnix {

using ByteView = std::string_view;  // the bytes of a file, as read
using Bytes = std::string;          // the bytes of a file being built

namespace bytes {

inline std::uint8_t u8(ByteView b, std::size_t at) {
  return static_cast<std::uint8_t>(b[at]);
}

inline std::uint16_t u16le(ByteView b, std::size_t at) {
  return static_cast<std::uint16_t>(u8(b, at) | (u8(b, at + 1) << 8));
}
inline std::uint16_t u16be(ByteView b, std::size_t at) {
  return static_cast<std::uint16_t>((u8(b, at) << 8) | u8(b, at + 1));
}
inline std::uint32_t u32le(ByteView b, std::size_t at) {
  return static_cast<std::uint32_t>(u8(b, at)) | (static_cast<std::uint32_t>(u8(b, at + 1)) << 8) |
         (static_cast<std::uint32_t>(u8(b, at + 2)) << 16) |
         (static_cast<std::uint32_t>(u8(b, at + 3)) << 24);
}
inline std::uint32_t u32be(ByteView b, std::size_t at) {
  return (static_cast<std::uint32_t>(u8(b, at)) << 24) |
         (static_cast<std::uint32_t>(u8(b, at + 1)) << 16) |
         (static_cast<std::uint32_t>(u8(b, at + 2)) << 8) |
         static_cast<std::uint32_t>(u8(b, at + 3));
}
inline std::int16_t i16le(ByteView b, std::size_t at) {
  return static_cast<std::int16_t>(u16le(b, at));
}
inline std::int16_t i16be(ByteView b, std::size_t at) {
  return static_cast<std::int16_t>(u16be(b, at));
}
inline std::int32_t i32le(ByteView b, std::size_t at) {
  return static_cast<std::int32_t>(u32le(b, at));
}
inline std::int32_t i32be(ByteView b, std::size_t at) {
  return static_cast<std::int32_t>(u32be(b, at));
}
inline float f32le(ByteView b, std::size_t at) {
  return std::bit_cast<float>(u32le(b, at));
}
inline float f32be(ByteView b, std::size_t at) {
  return std::bit_cast<float>(u32be(b, at));
}
inline double f64le(ByteView b, std::size_t at) {
  return std::bit_cast<double>(static_cast<std::uint64_t>(u32le(b, at)) |
                               (static_cast<std::uint64_t>(u32le(b, at + 4)) << 32));
}

}  // namespace bytes

// Appends fields to a file being built in memory.
class ByteWriter {
 public:
  explicit ByteWriter(Bytes& out) : out_(out) {}

  std::size_t size() const { return out_.size(); }

  void u8(std::uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void u16le(std::uint16_t v) {
    const char b[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
    out_.append(b, 2);
  }
  void u16be(std::uint16_t v) {
    const char b[2] = {static_cast<char>(v >> 8), static_cast<char>(v)};
    out_.append(b, 2);
  }
  void u32le(std::uint32_t v) {
    const char b[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 24)};
    out_.append(b, 4);
  }
  void u32be(std::uint32_t v) {
    const char b[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 8), static_cast<char>(v)};
    out_.append(b, 4);
  }
  void i16le(std::int16_t v) { u16le(static_cast<std::uint16_t>(v)); }
  void i16be(std::int16_t v) { u16be(static_cast<std::uint16_t>(v)); }
  void i32le(std::int32_t v) { u32le(static_cast<std::uint32_t>(v)); }
  void i32be(std::int32_t v) { u32be(static_cast<std::uint32_t>(v)); }
  void f32le(float v) { u32le(std::bit_cast<std::uint32_t>(v)); }
  void f32be(float v) { u32be(std::bit_cast<std::uint32_t>(v)); }
  void f64le(double v) {
    const auto bits = std::bit_cast<std::uint64_t>(v);
    u32le(static_cast<std::uint32_t>(bits));
    u32le(static_cast<std::uint32_t>(bits >> 32));
  }
  // Many 32-bit values at once: a spectrum's counts.
  void i32leAll(const std::int32_t* values, std::size_t n) {
    const std::size_t at = out_.size();
    out_.resize(at + 4 * n);
    char* p = out_.data() + at;
    for (std::size_t i = 0; i < n; ++i, p += 4) {
      const auto v = static_cast<std::uint32_t>(values[i]);
      p[0] = static_cast<char>(v);
      p[1] = static_cast<char>(v >> 8);
      p[2] = static_cast<char>(v >> 16);
      p[3] = static_cast<char>(v >> 24);
    }
  }
  void text(std::string_view s) { out_.append(s); }
  // `s` cut or padded with `pad` to exactly `width` bytes.
  void fixedText(std::string_view s, std::size_t width, char pad = ' ') {
    const std::size_t n = s.size() < width ? s.size() : width;
    out_.append(s.substr(0, n));
    out_.append(width - n, pad);
  }
  void zeros(std::size_t n) { out_.append(n, '\0'); }
  // Zeros up to `offset`, where the next field of a layout starts. A field that ran past it is a
  // fault of the writer: nothing is added and overran() tells, so the writer fails instead of
  // writing a file whose fields stand in the wrong places.
  void padTo(std::size_t offset) {
    if (out_.size() > offset) {
      overran_ = true;
      return;
    }
    out_.append(offset - out_.size(), '\0');
  }
  bool overran() const { return overran_; }
  // Overwrites 4 bytes at `at` (for lengths known only at the end).
  void patchU32be(std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
      out_[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (24 - 8 * i));
  }

 private:
  Bytes& out_;
  bool overran_ = false;
};

}  // namespace durnix
