// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/forms/frm_properties.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMimeDatabase>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "formats/catalogue.h"
#include "formats/detection.h"
#include "formats/paths.h"
#include "platform/paths.h"
#include "shell/file_list.h"
#include "shell/network.h"

namespace durnix {

namespace {

constexpr const char* kTimeFormat = "yyyy-MM-dd hh:mm:ss";

QString groupedNumber(long long value) {
  QString digits = QString::number(value < 0 ? -value : value);
  for (auto i = digits.size() - 3; i > 0; i -= 3) digits.insert(i, ',');
  return value < 0 ? "-" + digits : digits;
}

// "rwxr-xr-x (755)"
QString permissionText(QFileDevice::Permissions p) {
  const std::pair<QFileDevice::Permission, char> bits[] = {
      {QFileDevice::ReadOwner, 'r'}, {QFileDevice::WriteOwner, 'w'}, {QFileDevice::ExeOwner, 'x'},
      {QFileDevice::ReadGroup, 'r'}, {QFileDevice::WriteGroup, 'w'}, {QFileDevice::ExeGroup, 'x'},
      {QFileDevice::ReadOther, 'r'}, {QFileDevice::WriteOther, 'w'}, {QFileDevice::ExeOther, 'x'},
  };
  QString letters;
  int octal = 0;
  for (const auto& [bit, letter] : bits) {
    octal <<= 1;
    if (p.testFlag(bit)) {
      letters += QLatin1Char(letter);
      octal |= 1;
    } else {
      letters += QLatin1Char('-');
    }
  }
  return QString("%1 (%2)").arg(letters).arg(octal, 3, 8, QLatin1Char('0'));
}

QString timeText(const QDateTime& time) {
  return time.isValid() ? time.toLocalTime().toString(kTimeFormat) : QString();
}

}  // namespace

QString SizeText(long long bytes) {
  QString text = groupedNumber(bytes) + (bytes == 1 ? " byte" : " bytes");
  static constexpr const char* kUnits[] = {"kB", "MB", "GB", "TB"};
  double value = static_cast<double>(bytes);
  const char* unit = nullptr;
  for (const char* next : kUnits) {
    if (value < 1024.0) break;
    value /= 1024.0;
    unit = next;
  }
  if (unit != nullptr) text += QString(" (%1 %2)").arg(value, 0, 'f', 2).arg(unit);
  return text;
}

QString KindOfEntry(FileSystem& files, const std::string& path, const FileEntry& entry) {
  const QMimeDatabase mime;
  switch (entry.kind) {
    case EntryKind::kFolder:
      return "Folder";
    case EntryKind::kOther:
      // A pipe, socket or device is never opened: its kind comes from the system's look at it.
      return mime.mimeTypeForFile(QFileInfo(PathText(path)), QMimeDatabase::MatchExtension)
          .comment();
    case EntryKind::kFile:
      break;
  }
  const QString name = PathText(NameOf(path));
  Bytes bytes;
  if (files.ReadFile(path, bytes, kMaxSpectrumFileBytes) != kDone) {
    // Too large for a spectrum, or unreadable: the name alone tells what it may be.
    const QList<QMimeType> byName = mime.mimeTypesForFileName(name);
    return (byName.isEmpty() ? mime.mimeTypeForName("application/octet-stream") : byName.front())
        .comment();
  }
  SpectrumRecord record;
  std::string detected;
  const Status status = DetectAndRead(ByteView(bytes), record, detected);
  if (status == kDone) return Latin1Text(detected);
  if (status == kPixeOrNra) return Latin1Text(Format(FMT_RBS).displayName) + ", PIXE or NRA data";
  const auto data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
  return mime.mimeTypeForFileNameAndData(name, data).comment();
}

FrmProperties::FrmProperties(QWidget* parent, FileSystem& files, const std::string& path)
    : QDialog(parent) {
  setObjectName("FrmProperties");
  const std::string clean = WithoutFinalSlash(path);
  const QString name = PathText(NameOf(clean));
  setWindowTitle("Properties - " + name);

  // Times, permissions and owners as the system keeps them, the access time as it was before
  // this window read the file; nothing here opens the entry.
  // A shared folder of the network tells only what its file system gives: kind, size, time
  // and its attributes.
  const bool network = IsNetworkPath(clean);
  const QFileInfo info(network ? QString() : PathText(clean));
  const QString accessed = timeText(info.lastRead());
  FileEntry entry;
  const FileResult look = files.Stat(clean, entry);
  const bool found = look == kDone;
  const QString kind =
      found ? KindOfEntry(files, clean, entry) : PathText(SystemErrorText(look.error));

  auto* form = new QFormLayout();
  addRow(form, "Name:", "lblName", name);
  addRow(form, "Folder:", "lblFolder",
         PathText(clean == "/" ? std::string() : WithoutFinalSlash(FolderOf(clean))));
  addRow(form, "Kind:", "lblKind", kind);
  addRow(form, "Size:", "lblSize",
         found && entry.kind == EntryKind::kFile ? SizeText(entry.bytes) : QString());
  addRow(form, "Modified:", "lblModified",
         timeText(network && found ? QDateTime::fromSecsSinceEpoch(entry.modified)
                                   : info.lastModified()));
  addRow(form, "Accessed:", "lblAccessed", accessed);
  addRow(form, network ? "Attributes:" : "Permissions:", "lblPermissions",
         network && found ? QString::fromLatin1(AttributeLetters(entry.attributes).c_str())
         : info.exists()  ? permissionText(info.permissions())
                          : QString());
  const auto ownerText = [&info](const QString& text, uint id) {
    return !text.isEmpty() || !info.exists() || id == uint(-2) ? text : QString::number(id);
  };
  addRow(form, "Owner:", "lblOwner", ownerText(info.owner(), info.ownerId()));
  addRow(form, "Group:", "lblGroup", ownerText(info.group(), info.groupId()));

  auto* close = new QPushButton("Close", this);
  close->setObjectName("cmdClose");
  close->setDefault(true);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* buttons = new QHBoxLayout();
  buttons->addStretch();
  buttons->addWidget(close);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(form);
  layout->addLayout(buttons);
  close->setFocus();

  adjustSize();
  resize(std::max(width(), 420), height());
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
}

QLabel* FrmProperties::addRow(QFormLayout* form, const char* caption, const char* name,
                              const QString& value) {
  auto* label = new QLabel(value, this);
  label->setObjectName(name);
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  form->addRow(caption, label);
  return label;
}

FrmProperties* FrmProperties::Open(QWidget* parent, FileSystem& files, const std::string& path) {
  auto* window = new FrmProperties(parent, files, path);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->show();
  return window;
}

}  // namespace durnix
