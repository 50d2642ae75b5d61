// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/forms/file_list_model.h"

#include <QFontMetrics>
#include <QMimeData>
#include <QMimeDatabase>
#include <QPainter>
#include <QPixmap>
#include <QUrl>
#include <algorithm>

#include "platform/paths.h"
#include "shell/network.h"

namespace durnix {

QIcon ProgramIcon() {
  static const QIcon icon = [] {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(QColor(0, 0, 160), 1));
    p.drawRect(0, 0, 15, 15);
    const int heights[] = {2, 3, 3, 5, 9, 13, 8, 4, 3, 2, 6, 11, 5, 2};
    for (int x = 0; x < 14; ++x) p.drawLine(x + 1, 14, x + 1, 14 - heights[x]);
    return QIcon(pixmap);
  }();
  return icon;
}

QIcon TypeIcon(const QString& name) {
  static const QMimeDatabase types;
  static const QIcon file = QFileIconProvider().icon(QFileIconProvider::File);
  const QMimeType type = types.mimeTypeForFile(name, QMimeDatabase::MatchExtension);
  return QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), file));
}

FileListModel::FileListModel(QObject* parent) : QAbstractTableModel(parent) {}

void FileListModel::setRows(std::vector<FileRow> rows, const std::string& folder, PathKind kind,
                            bool networkLevel) {
  beginResetModel();
  kind_ = kind;
  networkLevel_ = networkLevel;
  rows_ = std::move(rows);
  widest_ = -1;
  names_.clear();
  for (const FileRow& r : rows_) names_.insert(r.name);
  folder_ = folder;
  iconCache_.clear();
  sortRows();
  endResetModel();
}

void FileListModel::appendRow(FileRow row) {
  const int at = static_cast<int>(rows_.size());
  beginInsertRows({}, at, at);
  names_.insert(row.name);
  rows_.push_back(std::move(row));
  endInsertRows();
}

void FileListModel::clear() {
  setRows({}, folder_, kind_);
}

bool FileListModel::contains(const std::string& name) const {
  return names_.count(name) != 0;
}

int FileListModel::widestName(const QFontMetrics& metrics) const {
  int widest = 0;
  for (const FileRow& r : rows_)
    widest = std::max(widest, metrics.horizontalAdvance(PathText(r.text)));
  return widest + 16 + 12;  // the icon and the margins
}

int FileListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FileListModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kColumns;
}

QIcon FileListModel::iconOf(const FileRow& r) const {
  if (r.name == "..") return {};
  if (networkLevel_) {
    static const QIcon network = QFileIconProvider().icon(QFileIconProvider::Network);
    static const QIcon computer = QFileIconProvider().icon(QFileIconProvider::Computer);
    static const QIcon share = QFileIconProvider().icon(QFileIconProvider::Folder);
    switch (NetworkIconOf(r)) {
      case 1:
        return network;
      case 2:
        return computer;
      default:
        return share;
    }
  }
  if (r.isFolder()) {
    static const QIcon folder = QFileIconProvider().icon(QFileIconProvider::Folder);
    return folder;
  }
  if (IsSpectrumExtension(r.extension)) return ProgramIcon();
  const QString key = PathText(r.extension).toLower();
  auto it = iconCache_.find(key);
  if (it == iconCache_.end()) {
    it = iconCache_.emplace(key, TypeIcon(PathText(r.name))).first;
  }
  return it->second;
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return {};
  const FileRow& r = rows_[static_cast<std::size_t>(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      switch (index.column()) {
        case kName:
          return PathText(r.text);  // names are the system's bytes
        case kExt:
          return PathText(r.extension);
        case kSize:
          return QString::fromLatin1(r.size.c_str());
        case kDate:
          return QString::fromLatin1(r.date.c_str());
        case kAttr:
          return QString::fromLatin1(r.attributes.c_str());
        default:
          return {};
      }
    case Qt::EditRole:
      // The list shows a file's base name; the extension stays unless the edit gives one.
      return index.column() == kName ? PathText(r.isFolder() ? r.name : r.text) : QVariant();
    case Qt::DecorationRole:
      return index.column() == kName ? QVariant(iconOf(r)) : QVariant();
    case Qt::TextAlignmentRole:
      if (index.column() == kExt || index.column() == kAttr) return int(Qt::AlignCenter);
      if (index.column() == kSize) return int(Qt::AlignRight | Qt::AlignVCenter);
      return int(Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::SizeHintRole:
      return QSize(-1, rowHeight_);
    case kFileNameRole:
      return QByteArray(r.name.data(), static_cast<qsizetype>(r.name.size()));
    case kAttributesRole:
      return r.attributeNumber;
    case kBytesRole:
      return static_cast<qlonglong>(r.bytes);
    default:
      return {};
  }
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const {
  Qt::ItemFlags flags = QAbstractTableModel::flags(index) | Qt::ItemIsDropEnabled;
  if (!index.isValid() || index.row() >= static_cast<int>(rows_.size())) return flags;
  const FileRow& r = rows_[static_cast<std::size_t>(index.row())];
  if (r.name == ".." || networkLevel_) return flags;
  flags |= Qt::ItemIsDragEnabled;
  if (index.column() == kName) flags |= Qt::ItemIsEditable;
  return flags;
}

bool FileListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || index.column() != kName) return false;
  emit nameEdited(index.row(), value.toString());
  return false;
}

QStringList FileListModel::mimeTypes() const {
  return {"text/uri-list"};
}

QMimeData* FileListModel::mimeData(const QModelIndexList& indexes) const {
  QList<QUrl> urls;
  std::unordered_set<int> seen;
  for (const QModelIndex& index : indexes) {
    if (!index.isValid() || !seen.insert(index.row()).second) continue;
    const FileRow& r = rows_[static_cast<std::size_t>(index.row())];
    if (r.name == "..") continue;
    const QString path = PathText(JoinPath(folder_, r.name));
    urls << (kind_ == PathKind::kNetwork ? QUrl("smb:" + path) : QUrl::fromLocalFile(path));
  }
  auto* data = new QMimeData;
  data->setUrls(urls);
  return data;
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal) return {};
  static const char* const kCaptions[] = {"File Name", "Ext", "Size", "Date", "Attr"};
  if (role == Qt::DisplayRole && section >= 0 && section < kColumns) return kCaptions[section];
  if (role == Qt::TextAlignmentRole) {
    if (section == kExt || section == kAttr) return int(Qt::AlignCenter);
    if (section == kSize) return int(Qt::AlignRight | Qt::AlignVCenter);
    return int(Qt::AlignLeft | Qt::AlignVCenter);
  }
  return {};
}

void FileListModel::sort(int column, Qt::SortOrder order) {
  if (column < 0 || column >= kColumns) return;
  sortColumn_ = column;
  sortOrder_ = order;
  emit layoutAboutToBeChanged();
  sortRows();
  emit layoutChanged();
}

void FileListModel::sortRows() {
  const auto text = [this](const FileRow& r) -> const std::string& {
    switch (sortColumn_) {
      case kExt:
        return r.extension;
      case kSize:
        return r.size;
      case kDate:
        return r.date;
      case kAttr:
        return r.attributes;
      default:
        return r.text;
    }
  };
  const auto lower = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
  const auto less = [&](const FileRow& a, const FileRow& b) {
    const std::string& x = text(a);
    const std::string& y = text(b);
    return std::lexicographical_compare(
        x.begin(), x.end(), y.begin(), y.end(), [&](char p, char q) {
          return lower(static_cast<unsigned char>(p)) < lower(static_cast<unsigned char>(q));
        });
  };
  std::stable_sort(rows_.begin(), rows_.end(), [&](const FileRow& a, const FileRow& b) {
    return sortOrder_ == Qt::AscendingOrder ? less(a, b) : less(b, a);
  });
}

}  // namespace durnix
