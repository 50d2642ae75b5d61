// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// FrmTextEdit: the program's plain text editor for 8-bit text. A file is shown byte for byte
// (each byte one Latin-1 character) and saved the same way, with the line endings it had, so a
// file saved unchanged is the file it was. Every file access goes through a FileSystem.

#include <QMainWindow>
#include <functional>
#include <string>

#include "formats/byte_io.h"
#include "formats/file_system.h"

class QAction;
class QCloseEvent;
class QLabel;
class QPlainTextEdit;

namespace durnix {

// The largest file the editor opens.
inline constexpr std::size_t kMaxTextFileBytes = 64u << 20;

enum class LineEnding { kLf, kCrLf, kCr };

// What the line endings of a file are: the most frequent kind (LF when there is none; a tie
// goes to LF, then CR LF) and whether other kinds occur beside it.
struct LineEndings {
  LineEnding dominant = LineEnding::kLf;
  bool mixed = false;
};
LineEndings FindLineEndings(ByteView bytes);

class FrmTextEdit : public QMainWindow {
  Q_OBJECT

 public:
  FrmTextEdit(QWidget* parent, FileSystem& files);

  // Makes an editor, opens `path` in it (an empty "Untitled" text when `path` is empty) and
  // shows it; the window deletes itself when closed. Returns null, after the message, when the
  // file cannot be opened.
  static FrmTextEdit* Open(QWidget* parent, FileSystem& files, const std::string& path);

  // Reads `path` and shows it in place of the current text, without asking about unsaved
  // changes (the menu's Open asks first). On failure the message names the file and the
  // system's reason, the current text stays and the result is false.
  bool openFile(const std::string& path);
  // An empty "Untitled" text, without asking.
  void newFile();
  // Writes the text to its file (Save As when it has none). False, after the message, when the
  // file cannot be written; the text stays as it is, still marked as changed.
  // Saves the text; characters beyond 8 bits are saved as "?" only after a Yes.
  bool save();
  bool fitsEightBits() const;
  // Asks for a new name and saves there; the new name is the file's from then on.
  bool saveAs();
  // Asks whether to save unsaved changes: true when the text may be dropped (saved, or No).
  bool maybeSave();

  bool isModified() const;
  const std::string& path() const { return path_; }  // empty while "Untitled"
  // The bytes that Save would write.
  Bytes textBytes() const;
  // True when the file holds bytes the editor could not keep: it is shown but not saved.
  bool isLocked() const { return locked_; }

  // Replaceable for tests. A message of the program with the system's reason (may be empty).
  std::function<void(const std::string& message, const std::string& reason)> showMessage;
  // A question with Yes, No and Cancel; returns 6, 7 or 2.
  std::function<int(const std::string& prompt)> askQuestion;
  // The name to save as (the current path is the suggestion); empty when the user cancels.
  std::function<std::string(const std::string& suggestion)> askSavePath;
  // The file to open; empty when the user cancels.
  std::function<std::string(const std::string& folder)> askOpenPath;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void makeMenus();
  Bytes editorBytes() const;  // the editor's lines joined by the file's ending
  void updateTitle();
  void updatePosition();
  QString displayName() const;
  void fileOpenClick();
  void fileNewClick();

  FileSystem& files_;
  QPlainTextEdit* txtEdit_;
  QLabel* lblPath_;
  QLabel* lblPosition_;
  QAction* mnuSave_ = nullptr;
  QAction* mnuSaveAs_ = nullptr;
  std::string path_;
  LineEndings endings_;
  Bytes original_;  // the file as read, kept while its mixed endings are unchanged
  bool readOnly_ = false;
  bool locked_ = false;
};

}  // namespace durnix
