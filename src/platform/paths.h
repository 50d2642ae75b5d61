// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// File names are the system's bytes (UTF-8 here); the windows show them as text. This is the one
// place where the two meet. Texts inside spectrum files are 8-bit and never pass through here.

#include <QFile>
#include <QString>
#include <string>
#include <string_view>

namespace durnix {

// A path, or a message that names one, as the windows show it.
inline QString PathText(std::string_view bytes) {
  return QFile::decodeName(QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// The bytes of a path that a window shows or the user typed.
inline std::string PathBytes(const QString& text) {
  return QFile::encodeName(text).toStdString();
}

// An 8-bit text of a spectrum file (a title, a date), as the windows show it.
inline QString Latin1Text(std::string_view bytes) {
  return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

// The 8-bit bytes of such a text as typed (characters beyond 8 bits become "?").
inline std::string Latin1Bytes(const QString& text) {
  return text.toLatin1().toStdString();
}

}  // namespace durnix
