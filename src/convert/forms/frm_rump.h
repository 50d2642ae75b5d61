// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// frmRump: the header editor, for the RUMP header of an RBS or SEN file or for the stamp data;
// frmRumpView: the same fields, for display only, beside a viewer.

#include <QDialog>
#include <functional>
#include <map>

#include "convert/stamp.h"
#include "formats/spectrum_record.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace durnix {

class FrmRump : public QDialog {
  Q_OBJECT

 public:
  enum class Mode { kEditor, kView };
  FrmRump(QWidget* parent, Mode mode = Mode::kEditor);

  // Edit Stamp Data: the stamp data in the fields; OK stores into `stamp`.
  void editStamp(StampData* stamp);
  // Edit Rump Data: the header of the file at `path` (read as `kind`); OK writes the file.
  void editFile(const std::string& path, HeaderKind kind, const SpectrumRecord& record);
  // frmRumpView: shows a spectrum's header.
  void showHeader(const SpectrumRecord& record, HeaderKind kind);

  // The files the editor reads and writes.
  void setFiles(FileSystem& files) { files_ = &files; }

  bool editingFile() const { return target_.rumpEditing; }
  bool editingStamp() const { return stamp_ != nullptr; }

  // The fields, by the program's control names ("txtMeV", "cbxGeom", ...).
  QLineEdit* field(const QString& name) const;
  QComboBox* geometryList() const { return cbxGeom_; }
  RumpDialogTexts texts() const;

  // Called when the window closes, however it closes (the editor flags are cleared there).
  std::function<void()> onClosed;
  // The message box, replaceable in tests.
  std::function<void(const std::string&)> showMessage;

 protected:
  void closeEvent(QCloseEvent* event) override;
  // Esc closes the window as its close button does (the editor's flags are cleared).
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fill(const RumpDialogTexts& texts);
  void setSenras(bool senras);
  void cmdOkClick();
  void focusNext(QWidget* from);
  void placeOnScreen();

  Mode mode_;
  std::map<QString, QLineEdit*> fields_;
  QComboBox* cbxGeom_ = nullptr;
  QLabel* lblPath_ = nullptr;
  QLabel* lblDate_ = nullptr;
  QPushButton* cmdOk_ = nullptr;
  QPushButton* cmdCancel_ = nullptr;
  StampData* stamp_ = nullptr;
  RumpEditorTarget target_;
  bool senras_ = false;
  bool closing_ = false;
  FileSystem* files_ = &LocalFiles();
};

}  // namespace durnix
