// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// frmPTable: the periodic table. The property panel follows the pointer over the cells until a
// click holds it; a double click opens the element window, "Xrays" the table of every X-ray line.

#include <QDialog>
#include <array>
#include <memory>

#include "elements/element_db.h"

class QLabel;
class QPushButton;

namespace durnix {

class FrmElement;
class FrmXTable;

class FrmPTable : public QDialog {
  Q_OBJECT

 public:
  // Opens the window on the database at `path`; nothing, with `problem` saying why, when the
  // database or one of its tables is missing.
  static FrmPTable* Open(QWidget* parent, const std::string& path, std::string& problem);

  QLabel* cell(int z) const { return cells_[static_cast<std::size_t>(z - 1)]; }
  bool held() const { return hold_; }
  void showElement(int z);  // the panel for element z
  void clearPanel();
  void cellClicked(int z);
  void cellDoubleClicked(int z);
  void cmdXrayClick();
  // "Mark in viewer": the element shown goes to the viewer to have its X-ray lines marked.
  void cmdMarkClick();
  FrmElement* elementWindow() const { return frmElement_; }
  FrmXTable* xrayTable() const { return frmXTable_; }

 signals:
  void markInViewer(const QString& symbol);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  FrmPTable(QWidget* parent, std::unique_ptr<ElementDatabase> db);
  void build();
  void setPanel(const ElementPanel& panel);
  void updatePointer();

  std::unique_ptr<ElementDatabase> db_;
  std::array<QLabel*, ElementDatabase::kElements> cells_{};
  QLabel* lblAtomNum_ = nullptr;
  QLabel* lblSymbol_ = nullptr;
  QLabel* lblName_ = nullptr;
  std::array<QLabel*, 7> lblProp_{};
  QPushButton* cmdXray_ = nullptr;
  QPushButton* cmdMark_ = nullptr;
  int shownZ_ = 0;  // the element the panel shows, 0: none
  bool hold_ = false;
  FrmElement* frmElement_ = nullptr;
  FrmXTable* frmXTable_ = nullptr;
};

// frmElement: all data of one element on six tabs.
class FrmElement : public QDialog {
  Q_OBJECT

 public:
  FrmElement(QWidget* parent, const ElementDatabase& db);
  void showElement(int z);

 private:
  const ElementDatabase& db_;
};

// frmXTable: every X-ray line of the database, sortable by any column.
class FrmXTable : public QDialog {
  Q_OBJECT

 public:
  FrmXTable(QWidget* parent, const ElementDatabase& db);
  void fill();

 private:
  const ElementDatabase& db_;
};

}  // namespace durnix
