// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/forms/frm_text_edit.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTextBlock>
#include <cerrno>

#include "formats/paths.h"
#include "platform/paths.h"
#include "platform/qt_prompter.h"
#include "platform/window_sizes.h"

namespace durnix {

namespace {

std::string_view endingBytes(LineEnding ending) {
  switch (ending) {
    case LineEnding::kCrLf:
      return "\r\n";
    case LineEnding::kCr:
      return "\r";
    case LineEnding::kLf:
      break;
  }
  return "\n";
}

// The text with every line ending (CR LF, LF or CR alone) made `ending`.
Bytes withEndings(ByteView bytes, LineEnding ending) {
  const std::string_view to = endingBytes(ending);
  Bytes out;
  out.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n') {
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      out += to;
    } else {
      out += c;
    }
  }
  return out;
}

}  // namespace

LineEndings FindLineEndings(ByteView bytes) {
  long long lf = 0, crlf = 0, cr = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\n') {
      ++lf;
    } else if (bytes[i] == '\r') {
      if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
        ++crlf;
        ++i;
      } else {
        ++cr;
      }
    }
  }
  LineEndings endings;
  if (crlf > lf && crlf >= cr) {
    endings.dominant = LineEnding::kCrLf;
  } else if (cr > lf && cr > crlf) {
    endings.dominant = LineEnding::kCr;
  }
  endings.mixed = (lf > 0) + (crlf > 0) + (cr > 0) > 1;
  return endings;
}

FrmTextEdit::FrmTextEdit(QWidget* parent, FileSystem& files) : QMainWindow(parent), files_(files) {
  setObjectName("FrmTextEdit");
  txtEdit_ = new QPlainTextEdit(this);
  txtEdit_->setObjectName("txtEdit");
  txtEdit_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
  txtEdit_->setLineWrapMode(QPlainTextEdit::NoWrap);
  setCentralWidget(txtEdit_);

  lblPath_ = new QLabel(this);
  lblPath_->setObjectName("lblPath");
  lblPosition_ = new QLabel(this);
  lblPosition_->setObjectName("lblPosition");
  statusBar()->addWidget(lblPath_, 1);
  statusBar()->addPermanentWidget(lblPosition_);

  showMessage = [this](const std::string& message, const std::string& reason) {
    QtPrompter(this).Ask(message, StandardButtons::kOk, Asking{Question::kMessage, reason});
  };
  askQuestion = [this](const std::string& prompt) {
    return QtPrompter(this).Ask(prompt, StandardButtons::kYesNoCancel);
  };
  askSavePath = [this](const std::string& suggestion) {
    return PathBytes(ChooseSaveFile(this, "Save As", PathText(suggestion), {}));
  };
  askOpenPath = [this](const std::string& folder) {
    return PathBytes(ChooseOpenFile(this, "Open", PathText(folder), {}));
  };

  makeMenus();
  connect(txtEdit_->document(), &QTextDocument::modificationChanged, this,
          &FrmTextEdit::updateTitle);
  connect(txtEdit_, &QPlainTextEdit::cursorPositionChanged, this, &FrmTextEdit::updatePosition);
  resize(800, 600);
  newFile();
}

void FrmTextEdit::makeMenus() {
  const auto add = [this](QMenu* menu, const char* name, const QString& caption,
                          const QKeySequence& keys, auto slot) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(keys);
    connect(action, &QAction::triggered, this, slot);
    return action;
  };
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("mnuFile");
  add(file, "mnuNew", "&New", QKeySequence::New, [this] { fileNewClick(); });
  add(file, "mnuOpen", "&Open...", QKeySequence::Open, [this] { fileOpenClick(); });
  mnuSave_ = add(file, "mnuSave", "&Save", QKeySequence::Save, [this] { save(); });
  mnuSaveAs_ = add(file, "mnuSaveAs", "Save &As...", QKeySequence::SaveAs, [this] { saveAs(); });
  file->addSeparator();
  add(file, "mnuClose", "&Close", QKeySequence(Qt::CTRL | Qt::Key_W), [this] { close(); });

  QMenu* edit = menuBar()->addMenu("&Edit");
  edit->setObjectName("mnuEdit");
  QAction* undo = add(edit, "mnuUndo", "&Undo", QKeySequence::Undo, [this] { txtEdit_->undo(); });
  QAction* redo = add(edit, "mnuRedo", "&Redo", QKeySequence::Redo, [this] { txtEdit_->redo(); });
  edit->addSeparator();
  QAction* cut = add(edit, "mnuCut", "Cu&t", QKeySequence::Cut, [this] { txtEdit_->cut(); });
  QAction* copy = add(edit, "mnuCopy", "&Copy", QKeySequence::Copy, [this] { txtEdit_->copy(); });
  add(edit, "mnuPaste", "&Paste", QKeySequence::Paste, [this] { txtEdit_->paste(); });
  edit->addSeparator();
  add(edit, "mnuSelectAll", "Select &All", QKeySequence::SelectAll,
      [this] { txtEdit_->selectAll(); });
  for (QAction* action : {undo, redo, cut, copy}) action->setEnabled(false);
  connect(txtEdit_, &QPlainTextEdit::undoAvailable, undo, &QAction::setEnabled);
  connect(txtEdit_, &QPlainTextEdit::redoAvailable, redo, &QAction::setEnabled);
  connect(txtEdit_, &QPlainTextEdit::copyAvailable, cut, &QAction::setEnabled);
  connect(txtEdit_, &QPlainTextEdit::copyAvailable, copy, &QAction::setEnabled);
}

FrmTextEdit* FrmTextEdit::Open(QWidget* parent, FileSystem& files, const std::string& path) {
  auto* window = new FrmTextEdit(parent, files);
  window->setAttribute(Qt::WA_DeleteOnClose);
  if (!path.empty() && !window->openFile(path)) {
    delete window;
    return nullptr;
  }
  window->show();
  return window;
}

bool FrmTextEdit::openFile(const std::string& path) {
  const std::string message = "Can not open the file " + path;
  FileEntry entry;
  if (const FileResult look = files_.Stat(path, entry); look != kDone) {
    showMessage(message, SystemErrorText(look.error));
    return false;
  }
  // A pipe or a device is never opened: reading it could wait for ever.
  if (entry.kind != EntryKind::kFile) {
    showMessage(message,
                SystemErrorText(entry.kind == EntryKind::kFolder ? EISDIR : kErrorNotRegular));
    return false;
  }
  Bytes bytes;
  if (const FileResult read = files_.ReadFile(path, bytes, kMaxTextFileBytes); read != kDone) {
    showMessage(message, SystemErrorText(read.error));
    return false;
  }

  // The editor keeps lines without their endings. Lines end on saving in the file's own way;
  // a file of mixed endings is written as read until it is changed, then every line gets the
  // most frequent ending.
  endings_ = FindLineEndings(bytes);
  txtEdit_->setReadOnly(false);
  txtEdit_->setPlainText(Latin1Text(bytes));
  path_ = path;
  readOnly_ = entry.readOnly;
  const Bytes expected = endings_.mixed ? withEndings(bytes, endings_.dominant) : Bytes();
  // Every byte must come back from the editor as it went in, or the file is not saved from it.
  locked_ = editorBytes() != (endings_.mixed ? expected : bytes);
  original_ = endings_.mixed ? std::move(bytes) : Bytes();
  mnuSave_->setEnabled(!locked_);
  mnuSaveAs_->setEnabled(!locked_);
  if (locked_) {
    txtEdit_->setReadOnly(true);
    showMessage("The file " + path + " holds bytes that the editor can not keep.\nIt is opened " +
                    "read only.",
                {});
  }
  updateTitle();
  updatePosition();
  return true;
}

void FrmTextEdit::newFile() {
  path_.clear();
  endings_ = {};
  original_.clear();
  readOnly_ = locked_ = false;
  txtEdit_->setReadOnly(false);
  txtEdit_->setPlainText(QString());
  mnuSave_->setEnabled(true);
  mnuSaveAs_->setEnabled(true);
  updateTitle();
  updatePosition();
}

bool FrmTextEdit::isModified() const {
  return txtEdit_->document()->isModified();
}

Bytes FrmTextEdit::textBytes() const {
  return endings_.mixed && !isModified() ? original_ : editorBytes();
}

Bytes FrmTextEdit::editorBytes() const {
  const std::string_view ending = endingBytes(endings_.dominant);
  const QTextDocument* document = txtEdit_->document();
  Bytes out;
  out.reserve(static_cast<std::size_t>(document->characterCount()));
  // The blocks' own texts: the document's plain text would turn no-break spaces (byte 0xA0)
  // into blanks. A character typed beyond 8 bits is saved as "?".
  for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
    if (block != document->begin()) out += ending;
    const QByteArray line = block.text().toLatin1();
    out.append(line.constData(), static_cast<std::size_t>(line.size()));
  }
  return out;
}

bool FrmTextEdit::fitsEightBits() const {
  for (QTextBlock block = txtEdit_->document()->begin(); block.isValid(); block = block.next()) {
    for (const QChar c : block.text()) {
      if (c.unicode() > 0xFF) return false;
    }
  }
  return true;
}

bool FrmTextEdit::save() {
  if (locked_) return false;
  if (path_.empty()) return saveAs();
  const bool fromEditor = !(endings_.mixed && !isModified());
  if (fromEditor && !fitsEightBits() &&
      askQuestion("The text holds characters that 8-bit text can not keep; they are saved as "
                  "\"?\". Save anyway ?") != kAnswerYes) {
    return false;
  }
  if (const FileResult written = files_.WriteFile(path_, textBytes()); written != kDone) {
    showMessage("Can not write the file " + path_, SystemErrorText(written.error));
    return false;
  }
  if (fromEditor) {
    endings_.mixed = false;
    original_.clear();
  }
  FileEntry entry;
  if (files_.Stat(path_, entry) == kDone) readOnly_ = entry.readOnly;
  txtEdit_->document()->setModified(false);
  updateTitle();
  return true;
}

bool FrmTextEdit::saveAs() {
  if (locked_) return false;
  const std::string chosen = askSavePath(path_);
  if (chosen.empty()) return false;
  const std::string previous = path_;
  path_ = chosen;
  if (!save()) {
    path_ = previous;
    updateTitle();
    return false;
  }
  return true;
}

bool FrmTextEdit::maybeSave() {
  if (!isModified()) return true;
  switch (askQuestion("Save changes to " + PathBytes(displayName()) + " ?")) {
    case kAnswerYes:
      return save();
    case kAnswerNo:
      return true;
    default:
      return false;
  }
}

void FrmTextEdit::closeEvent(QCloseEvent* event) {
  if (maybeSave()) {
    event->accept();
  } else {
    event->ignore();
  }
}

void FrmTextEdit::fileNewClick() {
  if (maybeSave()) newFile();
}

void FrmTextEdit::fileOpenClick() {
  if (!maybeSave()) return;
  const std::string chosen = askOpenPath(FolderOf(path_));
  if (!chosen.empty()) openFile(chosen);
}

QString FrmTextEdit::displayName() const {
  return path_.empty() ? QString("Untitled") : PathText(NameOf(path_));
}

void FrmTextEdit::updateTitle() {
  setWindowTitle(displayName() + (isModified() ? "*" : "") + " - Edit Text");
  QString where = path_.empty() ? QString("Untitled") : PathText(path_);
  if (locked_ || readOnly_) where += "  (read only)";
  lblPath_->setText(where);
}

void FrmTextEdit::updatePosition() {
  const QTextCursor cursor = txtEdit_->textCursor();
  lblPosition_->setText(
      QString("%1:%2").arg(cursor.blockNumber() + 1).arg(cursor.positionInBlock() + 1));
}

}  // namespace durnix
