// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/window_sizes.h"

#include <QDateTime>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLocale>
#include <QStyle>
#include <QTreeView>
#include <algorithm>

namespace durnix {

int TitleFitWidth(const QWidget& window, const QString& title) {
  QFont font = window.font();
  font.setBold(true);
  const QStyle* style = window.style();
  const int bar = style->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &window);
  const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, &window);
  // The icon on one side, up to three buttons on the other, and the room between them that the
  // window managers leave (a bar's height or more).
  return QFontMetrics(font).horizontalAdvance(title) + 6 * bar + 4 * frame;
}

void FitTitle(QWidget& window) {
  const int needed = TitleFitWidth(window, window.windowTitle());
  window.setMinimumWidth(std::max(window.minimumWidth(), needed));
  // A layout that sets the window's size itself (the input box's, made when it shows) takes
  // the width from the prompt.
  const QLayout* layout = window.layout();
  auto* prompt = window.findChild<QLabel*>();
  if (prompt == nullptr ||
      (layout != nullptr && layout->sizeConstraint() == QLayout::SetDefaultConstraint)) {
    return;
  }
  const QStyle* style = window.style();
  const int margins = layout != nullptr
                          ? layout->contentsMargins().left() + layout->contentsMargins().right()
                          : style->pixelMetric(QStyle::PM_LayoutLeftMargin) +
                                style->pixelMetric(QStyle::PM_LayoutRightMargin);
  prompt->setMinimumWidth(std::max(prompt->minimumWidth(), needed - margins));
}

void FitSizeColumn(QFileDialog& dialog) {
  auto* list = dialog.findChild<QTreeView*>("treeView");
  if (list == nullptr) return;
  constexpr int kSize = 1;  // Name, Size, Type, Date Modified
  constexpr int kDate = 3;
  const QFontMetrics metrics(list->font());
  const QLocale locale = QLocale::system();
  int size = metrics.horizontalAdvance(locale.formattedDataSize(1023));
  for (qint64 unit = 1024; unit <= (qint64(1) << 40); unit *= 1024) {
    size = std::max(size, metrics.horizontalAdvance(locale.formattedDataSize(
                              static_cast<qint64>(static_cast<double>(unit) * 1023.99))));
  }
  int date = 0;
  for (int month = 1; month <= 12; ++month) {
    const QDateTime late(QDate(2000, month, 28), QTime(23, 59, 59));
    date = std::max(date, metrics.horizontalAdvance(locale.toString(late, QLocale::ShortFormat)));
  }
  // The cell's margins on both sides, as the list draws them.
  const int margins =
      4 * (list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) + 1);
  QHeaderView* header = list->header();
  int added = 0;
  for (const auto& [column, text] : {std::pair{kSize, size}, std::pair{kDate, date}}) {
    const int width =
        std::max({text + margins, header->sectionSizeHint(column), header->sectionSize(column)});
    added += width - header->sectionSize(column);
    header->resizeSection(column, width);
  }
  dialog.resize(dialog.width() + added, dialog.height());
}

namespace {

QString Chosen(QFileDialog& dialog) {
  FitSizeColumn(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return dialog.selectedFiles().front();
}

}  // namespace

QString ChooseOpenFile(QWidget* parent, const QString& caption, const QString& folder,
                       const QString& filter) {
  QFileDialog dialog(parent, caption, folder, filter);
  dialog.setFileMode(QFileDialog::ExistingFile);
  return Chosen(dialog);
}

QString ChooseSaveFile(QWidget* parent, const QString& caption, const QString& proposed,
                       const QString& filter) {
  QFileDialog dialog(parent, caption, proposed, filter);
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  return Chosen(dialog);
}

QString ChooseFolder(QWidget* parent, const QString& caption) {
  QFileDialog dialog(parent, caption);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  return Chosen(dialog);
}

}  // namespace durnix
