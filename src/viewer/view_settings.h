// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The zoom window and the vertical scale of a viewer, as its menus "&Scale" and "&Region" and
// the arrow keys on the plot change them.

#include <cstdint>
#include <string>

namespace durnix {

// The "Low limit" and "Range" menus: 18 entries each and "User define" as entry 19.
inline constexpr int kLimitEntries = 18;
inline constexpr int kUserDefine = kLimitEntries + 1;

// The numeric value of Low limit / Range entry 1..18 ("0", "10", ... / "10", "20", ...).
int LowLimitEntryValue(int entry);
int RangeEntryValue(int entry);

struct ViewSettings {
  int scaleEntry = 1;              // the checked "&Scale" entry, 1 ("Auto") to 34 ("Log")
  std::int32_t VScale = 0;         // 0 automatic, 1 logarithmic, otherwise the full-scale count
  int lowEntry = 1;                // the checked Low limit entry, 1..19; 0 when none is checked
  int rangeEntry = 11;             // the checked Range entry, 1..19; 0 when none is checked
  bool userDefineEnabled = false;  // the two "User define" entries
  bool zoomed = false;             // "Zoom" (and the pop-up's "Zoom") checked
  float LowLimit = 0;
  float RangeWidth = 500;

  bool operator==(const ViewSettings&) const = default;
};

// A new viewer of chNum channels with the preferences' default entries (1..18): "Auto"; the
// default low limit unless its value is not below chNum (then "0"); the default range.
ViewSettings StartSettings(int chNum, int defLow, int defRan);

// Scale entry 1..34 chosen.
void ChooseScale(ViewSettings& s, int entry);
// Low limit entry 1..19 chosen; "User define" takes roiFrom. Returns false (the window beeps,
// nothing changes) when the entry's value is not below chNum.
bool ChooseLowLimit(ViewSettings& s, int entry, int chNum, int roiFrom);
// Range entry 1..19 chosen; "User define" takes roiTo - LowLimit; a width of 0 becomes 500.
void ChooseRange(ViewSettings& s, int entry, int roiTo);
// The Zoom command: toggles the zoom.
void ToggleZoom(ViewSettings& s);
// Double click (or Shift and release) on a region: zoom onto RoiFrom..RoiTo with both
// "User define" entries enabled and checked.
void ZoomToRegion(ViewSettings& s, int roiFrom, int roiTo);

// The scale entries the Up and Down keys choose for a full scale (on a scale other than "Log").
int ScaleEntryForUp(std::int32_t fullScale);
int ScaleEntryForDown(std::int32_t fullScale);

enum class ViewKey { kEscape, kUp, kDown, kLeft, kRight };

// What a key on the plot asks of the window, after the settings were changed.
enum class KeyEffect {
  kNothing,
  kRedraw,       // settings changed: draw again
  kZoomCommand,  // run the Zoom command (title and check marks as that command sets them)
  kUnzoom,       // Esc: "Zoom" unchecked and redrawn, title and pop-up check left as they are
};

// A key pressed on the plot. `modifier`: Shift, Ctrl or Alt held; `shift`: Shift held;
// `panMode`: Scroll Lock on; `fullScale`: FullScale of the last drawing. The checked entries
// may change even when the effect is kNothing (panning at either end checks "User define").
// Narrower (Right, zoom mode) with Ctrl or Alt on a predefined range does nothing.
KeyEffect PressKey(ViewSettings& s, ViewKey key, bool modifier, bool shift, bool panMode, int chNum,
                   std::int32_t fullScale);

}  // namespace durnix
