// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Where the controls of the main window stand, from its design in twips: the top rows of each
// pane keep their designed heights and scale across with the window; each list takes half the
// width and the height left between the top rows and the status lines; the status lines, the
// free space and the row of command buttons keep their designed heights at the bottom, the
// buttons wholly inside the window and below the status lines at every size.

#include <QSize>
#include <array>
#include <map>

class QLabel;
class QPushButton;
class QScreen;
class QString;
class QToolBar;
class QWidget;

namespace durnix {

class FilePane;

// The client area as designed, in twips.
inline constexpr double kDesignWidth = 9045;
inline constexpr double kDesignHeight = 5805;
// The outer size as designed, and what the frame and title bar add to the client.
inline constexpr double kDesignOuterWidth = 9165;
inline constexpr double kDesignOuterHeight = 6675;
inline constexpr int kFrameWidth = 120;
inline constexpr int kFrameHeight = 600;

struct MainWindowWidgets {
  QWidget* client = nullptr;
  QToolBar* toolbar = nullptr;
  std::array<FilePane*, 2> panes{};
  QPushButton* stampButton = nullptr;
  QLabel* stampOn = nullptr;
  QLabel* stampOff = nullptr;
  QLabel* lblOn = nullptr;
  QLabel* lblOff = nullptr;
  const std::map<QString, QPushButton*>* buttons = nullptr;
};

// Places every control for the client's current size.
void LayOutMainWindow(const MainWindowWidgets& w);

// The window's size without a configuration: the designed size scaled up, both ways alike, to
// about two thirds of the screen's width, never below the design.
QSize StartWindowSize(const QScreen* screen);

// Whether the status line and the free space of a pane of `width` pixels share one row.
bool StatusAndFreeSpaceShareARow(const FilePane& pane, int width);

}  // namespace durnix
