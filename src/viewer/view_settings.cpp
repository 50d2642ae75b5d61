// SPDX-License-Identifier: GPL-3.0-or-later
#include "viewer/view_settings.h"

#include <algorithm>
#include <cmath>

#include "convert/preferences.h"
#include "formats/text_rules.h"
#include "viewer/plot.h"

namespace durnix {

namespace {

constexpr int kNarrowest = 10;

bool predefined(int entry) {
  return entry >= 1 && entry <= kLimitEntries;
}

// Right arrow in zoom mode: a narrower window.
KeyEffect narrower(ViewSettings& s, bool modifier, bool shift, int chNum) {
  const int r = s.rangeEntry;
  if (!shift && r != kUserDefine) {
    if (modifier || r < 2 || r > kLimitEntries) return KeyEffect::kNothing;
    s.rangeEntry = r - 1;
    s.RangeWidth = static_cast<float>(RangeEntryValue(r - 1));
    return KeyEffect::kRedraw;
  }
  s.rangeEntry = kUserDefine;
  s.lowEntry = kUserDefine;
  if (s.RangeWidth / 6 + s.LowLimit < static_cast<float>(chNum - 1) && s.RangeWidth > kNarrowest) {
    s.LowLimit += s.RangeWidth / 6;
  }
  s.RangeWidth = std::max(s.RangeWidth * 2 / 3, static_cast<float>(kNarrowest));
  return KeyEffect::kRedraw;
}

// Left arrow in zoom mode: a wider window.
KeyEffect wider(ViewSettings& s, bool modifier, int chNum) {
  const int r = s.rangeEntry;
  if (!modifier && r >= 1 && r < kLimitEntries) {
    if (static_cast<float>(RangeEntryValue(r)) + s.LowLimit >= static_cast<float>(chNum)) {
      return KeyEffect::kNothing;
    }
    s.rangeEntry = r + 1;
    s.RangeWidth = static_cast<float>(RangeEntryValue(r + 1));
    return KeyEffect::kRedraw;
  }
  s.rangeEntry = kUserDefine;
  if (predefined(s.lowEntry)) s.lowEntry = 0;
  if (s.LowLimit > 0) s.LowLimit -= s.RangeWidth / 4;
  if (s.RangeWidth + s.LowLimit <= static_cast<float>(chNum - 1)) s.RangeWidth *= 1.5f;
  return KeyEffect::kRedraw;
}

}  // namespace

int LowLimitEntryValue(int entry) {
  if (!predefined(entry)) return 0;
  return static_cast<int>(NumericPrefix(kLowerLimitCaptions[static_cast<std::size_t>(entry - 1)]));
}

int RangeEntryValue(int entry) {
  if (!predefined(entry)) return 0;
  return static_cast<int>(NumericPrefix(kRangeCaptions[static_cast<std::size_t>(entry - 1)]));
}

ViewSettings StartSettings(int chNum, int defLow, int defRan) {
  ViewSettings s;
  s.scaleEntry = kScaleAuto;
  s.VScale = 0;
  s.lowEntry = predefined(defLow) ? defLow : 1;
  s.LowLimit = static_cast<float>(LowLimitEntryValue(s.lowEntry));
  if (s.LowLimit >= static_cast<float>(chNum)) {
    s.lowEntry = 1;
    s.LowLimit = 0;
  }
  s.rangeEntry = predefined(defRan) ? defRan : ViewSettings{}.rangeEntry;
  s.RangeWidth = static_cast<float>(RangeEntryValue(s.rangeEntry));
  return s;
}

void ChooseScale(ViewSettings& s, int entry) {
  if (entry < 1 || entry > kScaleEntries) return;
  s.scaleEntry = entry;
  s.VScale = VScaleOfEntry(entry);
}

bool ChooseLowLimit(ViewSettings& s, int entry, int chNum, int roiFrom) {
  if (entry < 1 || entry > kUserDefine) return false;
  const int value = LowLimitEntryValue(entry);  // "User define" counts as 0
  if (value >= chNum) return false;
  s.LowLimit = static_cast<float>(entry == kUserDefine ? roiFrom : value);
  s.lowEntry = entry;
  return true;
}

void ChooseRange(ViewSettings& s, int entry, int roiTo) {
  if (entry < 1 || entry > kUserDefine) return;
  s.rangeEntry = entry;
  s.RangeWidth = entry == kUserDefine ? static_cast<float>(roiTo) - s.LowLimit
                                      : static_cast<float>(RangeEntryValue(entry));
  if (s.RangeWidth == 0) s.RangeWidth = 500;
}

void ToggleZoom(ViewSettings& s) {
  s.zoomed = !s.zoomed;
}

void ZoomToRegion(ViewSettings& s, int roiFrom, int roiTo) {
  s.LowLimit = static_cast<float>(roiFrom);
  s.RangeWidth = static_cast<float>(roiTo - roiFrom);
  s.lowEntry = kUserDefine;
  s.rangeEntry = kUserDefine;
  s.userDefineEnabled = true;
  s.zoomed = true;
}

// The scale entries 2..33 in their order; "Log" ends the table with the value 0, so no full
// scale lies between entry 33 and it.
int ScaleEntryForUp(std::int32_t fullScale) {
  for (int i = 2; i <= kScaleLog - 1; ++i) {
    if (ScaleEntryValue(i) < fullScale && fullScale <= ScaleEntryValue(i + 1)) return i;
  }
  return kScaleLog;
}

int ScaleEntryForDown(std::int32_t fullScale) {
  for (int i = 2; i <= kScaleLog - 1; ++i) {
    if (ScaleEntryValue(i) <= fullScale && fullScale < ScaleEntryValue(i + 1)) return i + 1;
  }
  return kScaleLog;
}

KeyEffect PressKey(ViewSettings& s, ViewKey key, bool modifier, bool shift, bool panMode, int chNum,
                   std::int32_t fullScale) {
  switch (key) {
    case ViewKey::kEscape:
      if (!s.zoomed) return KeyEffect::kNothing;
      s.zoomed = false;
      return KeyEffect::kUnzoom;
    case ViewKey::kUp:
    case ViewKey::kDown:
      if (s.VScale == 1) {
        ChooseScale(s, kScaleAuto);
      } else {
        ChooseScale(
            s, key == ViewKey::kUp ? ScaleEntryForUp(fullScale) : ScaleEntryForDown(fullScale));
      }
      return KeyEffect::kRedraw;
    case ViewKey::kLeft:
    case ViewKey::kRight:
      break;
  }
  const bool right = key == ViewKey::kRight;
  if (!s.zoomed) return right || panMode ? KeyEffect::kZoomCommand : KeyEffect::kNothing;
  if (!panMode) return right ? narrower(s, modifier, shift, chNum) : wider(s, modifier, chNum);

  double step = 1;
  if (!modifier) step = std::nearbyint(static_cast<double>(s.RangeWidth) / 10);
  s.lowEntry = kUserDefine;
  if (right) {
    if (s.RangeWidth + s.LowLimit + 1 >= static_cast<float>(chNum)) return KeyEffect::kNothing;
    s.LowLimit = static_cast<float>(s.LowLimit + step);
  } else {
    if (!(s.LowLimit > 0)) return KeyEffect::kNothing;
    s.LowLimit = static_cast<float>(s.LowLimit - step);
  }
  return KeyEffect::kRedraw;
}

}  // namespace durnix
