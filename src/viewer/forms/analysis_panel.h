// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The viewer's "Regions and markers" panel, docked beside the plot: the table of regions (From,
// To, gross, net, centroid, FWHM, and energies under a calibration) with Delete, Copy and
// Export, and the fields that name the elements whose X-ray lines and surface edges the plot
// marks. The panel only shows and asks; its viewer decides.

#include <QColor>
#include <QString>
#include <QWidget>
#include <string>
#include <vector>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace durnix {

class AnalysisPanel : public QWidget {
  Q_OBJECT

 public:
  explicit AnalysisPanel(QWidget* parent);

  // Fills the table: the columns, each row's cells and its region's colour; rows below
  // `firstEditable` (the region of the window's own From and To) cannot be edited here.
  void showTable(const std::vector<std::string>& header,
                 const std::vector<std::vector<std::string>>& rows,
                 const std::vector<QColor>& colours, int firstEditable);
  // The rows selected, in ascending order.
  std::vector<int> selectedRows() const;
  // The families ticked, as letters: "KLM", "K", ...
  QString families() const;
  // A line under the fields saying what the plot marks.
  void setNote(const QString& note);

  QTableWidget* table() const { return tblRegions_; }
  QLineEdit* linesField() const { return txtLines_; }
  QLineEdit* edgesField() const { return txtEdges_; }

 signals:
  // From or To of a row edited: the two cells' texts.
  void rowEdited(int row, const QString& from, const QString& to);
  void deleteRequested();
  void copyRequested();
  void exportRequested();
  // Enter in a field: the elements typed (empty: none marked).
  void linesEntered(const QString& elements);
  void edgesEntered(const QString& elements);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QTableWidget* tblRegions_ = nullptr;
  QPushButton* cmdDelete_ = nullptr;
  QPushButton* cmdCopy_ = nullptr;
  QPushButton* cmdExport_ = nullptr;
  QLineEdit* txtLines_ = nullptr;
  QLineEdit* txtEdges_ = nullptr;
  QCheckBox* chkK_ = nullptr;
  QCheckBox* chkL_ = nullptr;
  QCheckBox* chkM_ = nullptr;
  QLabel* lblNote_ = nullptr;
  bool filling_ = false;
};

}  // namespace durnix
