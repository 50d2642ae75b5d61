// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/forms/main_layout.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <QTreeView>
#include <algorithm>

#include "platform/twips.h"
#include "shell/file_list.h"
#include "shell/forms/file_list_model.h"
#include "shell/forms/file_pane.h"

namespace durnix {

namespace {

constexpr double kToolbarHeight = 420;
constexpr double kButtonHeight = 300;
constexpr double kRowHeight = 225;

// The longest texts the status line shows: a large selection, and a conversion's tally.
QString longestStatus() {
  const std::string grouping = QLocale().groupSeparator().toStdString();
  const std::string status = StatusLine(20000, 999999999, 20000, 999999999, grouping);
  const std::string tally = "    Converted : 20000  Remained : 20000    Failed :  20000";
  return QString::fromLatin1((status.size() > tally.size() ? status : tally).c_str());
}

int textWidth(const QWidget* widget, const QString& text) {
  return widget->fontMetrics().horizontalAdvance(text) + 6;
}

void layOutPane(FilePane& pane, int paneWidth, int paneHeight, double sx, bool oneRow) {
  // Across, the designed positions scale with the window; down, the rows keep their heights.
  const auto across = [&](QWidget* widget, double left, double top, double width, double height) {
    widget->setGeometry(static_cast<int>(Twips(left) * sx), Twips(top - kToolbarHeight),
                        std::max(1, static_cast<int>(Twips(width) * sx)), Twips(height));
  };
  if (pane.index() == 0) {
    across(pane.lblTitle, 1560, 484, 1095, 375);
  } else {
    across(pane.lblTitle, 1575, 484, 1695, 375);
  }
  across(pane.CombForm, 0, 898, 2655, 330);
  across(pane.CmdSel, 2655, 898, 1000, 330);
  across(pane.CmdRef, 3655, 898, 860, 330);
  across(pane.cmdRoot, 3820, 1233, 330, 291);
  across(pane.cmdUp, 4150, 1233, 330, 291);
  // The place list is wide enough for the names of the places; the path takes what is left.
  int widestPlace = 0;
  for (int i = 0; i < pane.DriveList->count(); ++i) {
    widestPlace = std::max(widestPlace, textWidth(pane.DriveList, pane.DriveList->itemText(i)));
  }
  const int rootLeft = pane.cmdRoot->x();
  const int driveWidth =
      std::min(std::max(static_cast<int>(Twips(800) * sx), widestPlace + 16 + 28), rootLeft / 2);
  pane.DriveList->setGeometry(0, Twips(1233 - kToolbarHeight), driveWidth, Twips(330));
  pane.lblPath->setGeometry(driveWidth, Twips(1230 - kToolbarHeight),
                            std::max(10, rootLeft - driveWidth - Twips(10)), Twips(352));
  pane.showPath();

  // Bottom up: the free space, the status line (one row or two), then the list.
  const int margin = Twips(45);
  const int right = paneWidth - Twips(300);
  const int bottomRow = paneHeight - Twips(kRowHeight + 15);
  const int statusTop = oneRow ? bottomRow : bottomRow - Twips(kRowHeight + 15);
  const int freeWidth =
      oneRow ? textWidth(pane.lblFreeSpace, pane.lblFreeSpace->text()) : right - margin;
  pane.lblFreeSpace->setGeometry(right - freeWidth, bottomRow, std::max(1, freeWidth),
                                 Twips(kRowHeight));
  const int statusRight = oneRow ? right - freeWidth - Twips(90) : paneWidth - Twips(45);
  pane.lblFile->setGeometry(margin, statusTop, std::max(1, statusRight - margin),
                            Twips(kRowHeight));
  const int listTop =
      std::max(Twips(1497 - kToolbarHeight), pane.DriveList->geometry().bottom() + 2);
  pane.ListView->setGeometry(0, listTop, paneWidth, std::max(1, statusTop - Twips(40) - listTop));

  // Every column as wide as its texts; what is left goes to the names, which never get less
  // than their longest needs: a narrow list scrolls across instead of cutting a text.
  QTreeView* list = pane.ListView;
  const QFontMetrics m = list->fontMetrics();
  const int pad = 14;
  const QString grouping = QLocale().groupSeparator();
  const int ext = std::max(m.horizontalAdvance("Ext"), m.horizontalAdvance("HTML")) + pad;
  const int size =
      m.horizontalAdvance("9" + grouping + "999" + grouping + "999" + grouping + "999") + pad;
  const int date = m.horizontalAdvance("2026-12-06 23:59:59") + pad;
  const int attr = std::max(m.horizontalAdvance("Attr"), m.horizontalAdvance("arhs")) + pad;
  const int scrollBar = 20;
  const int rest = paneWidth - ext - size - date - attr - scrollBar;
  list->setColumnWidth(FileListModel::kName, std::max(rest, pane.model()->widestName(m)));
  list->setColumnWidth(FileListModel::kExt, ext);
  list->setColumnWidth(FileListModel::kSize, size);
  list->setColumnWidth(FileListModel::kDate, date);
  list->setColumnWidth(FileListModel::kAttr, attr);
}

}  // namespace

bool StatusAndFreeSpaceShareARow(const FilePane& pane, int width) {
  const int status = std::max(textWidth(pane.lblFile, pane.lblFile->text()),
                              textWidth(pane.lblFile, longestStatus()));
  const int free = textWidth(pane.lblFreeSpace, pane.lblFreeSpace->text());
  return status + free + Twips(45 + 90 + 300) <= width;
}

void LayOutMainWindow(const MainWindowWidgets& w) {
  const int width = w.client->width();
  const int height = w.client->height();
  const double sx = width / static_cast<double>(Twips(kDesignWidth));
  const int half = width / 2;
  w.toolbar->setGeometry(0, 0, width, Twips(kToolbarHeight));

  const int buttonTop = height - Twips(kButtonHeight + 30);
  const int paneTop = Twips(kToolbarHeight);
  bool oneRow = true;
  for (int p = 0; p < 2; ++p) {
    oneRow = oneRow && StatusAndFreeSpaceShareARow(*w.panes[static_cast<std::size_t>(p)],
                                                   p == 0 ? half : width - half);
  }
  for (int p = 0; p < 2; ++p) {
    FilePane& pane = *w.panes[static_cast<std::size_t>(p)];
    const int left = p == 0 ? 0 : half;
    const int paneWidth = p == 0 ? half : width - half;
    pane.setGeometry(left, paneTop, paneWidth, std::max(1, buttonTop - paneTop));
    layOutPane(pane, paneWidth, pane.height(), sx, oneRow);
  }

  // The stamp indicator between the titles, in their row.
  const auto across = [&](QWidget* widget, double left, double top, double wide, double high) {
    widget->setGeometry(static_cast<int>(Twips(left) * sx), Twips(top),
                        std::max(1, static_cast<int>(Twips(wide) * sx)), Twips(high));
    widget->raise();
  };
  across(w.stampButton, 4080, 470, 855, 375);
  across(w.lblOn, 3300, 540, 300, 225);
  across(w.lblOff, 5380, 540, 400, 225);
  across(w.stampOn, 3620, 500, 300, 300);
  across(w.stampOff, 5020, 500, 300, 300);

  // The command buttons in one row, their designed height, above the window's bottom edge.
  struct ButtonPlace {
    const char* name;
    double left, width;
  };
  const ButtonPlace row[] = {
      {"cmdConv", 0, 975},     {"cmdSpect", 960, 1095},  {"cmdText", 2040, 1200},
      {"cmdData", 3240, 1215}, {"CmdCopy", 5010, 855},   {"CmdMove", 5850, 855},
      {"CmdMkDir", 6690, 975}, {"CmdDelete", 7650, 855}, {"CmdExit", 8490, 615}};
  for (const ButtonPlace& b : row) {
    const auto it = w.buttons->find(b.name);
    if (it == w.buttons->end()) continue;
    // The last button of the design reaches past the client's edge: it ends at the edge.
    const int left = static_cast<int>(Twips(b.left) * sx);
    const int right = std::min(width, static_cast<int>(Twips(b.left + b.width) * sx));
    it->second->setGeometry(left, buttonTop, std::max(1, right - left), Twips(kButtonHeight));
  }
}

QSize StartWindowSize(const QScreen* screen) {
  double scale = 1.0;
  if (screen != nullptr) {
    scale =
        std::max(1.0, screen->availableGeometry().width() * 2.0 / 3.0 / Twips(kDesignOuterWidth));
  }
  return {static_cast<int>(Twips(kDesignOuterWidth - kFrameWidth) * scale),
          static_cast<int>(Twips(kDesignOuterHeight - kFrameHeight) * scale)};
}

}  // namespace durnix
