// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Helpers of the window tests: the answer script and spectra to work on.

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QString>
#include <QTemporaryDir>

#include "formats/catalogue.h"
#include "formats/spectrum_record.h"
#include "support/answer_script.h"

namespace durnix::test {

// The window tests see neither the user's configuration nor an installed Durnix.
inline const bool kStandardPathsInTestMode = [] {
  QStandardPaths::setTestModeEnabled(true);
  return true;
}();

// Writes a spectrum of `channels` counts as `name` in `format`.
inline void WriteSpectrum(const QString& path, FormatCode format, int channels, int step = 1) {
  SpectrumRecord record;
  for (int i = 0; i < channels; ++i) record.Counts.push_back(i * step);
  record.ChannelCount = static_cast<std::int16_t>(channels);
  Bytes bytes;
  Format(format).encode(record, bytes);
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// Does `move` on `pane` (a refresh, a folder entered, another place) and waits until the pane
// shows its list again: the folder is read on a worker.
template <class Pane, class Move>
bool Listed(Pane& pane, Move&& move) {
  QSignalSpy listed(&pane, &Pane::listed);
  move();
  return listed.count() > 0 || listed.wait(10000);
}

}  // namespace durnix::test
