// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The rows of a pane's list as a Qt model: the columns "File Name", "Ext", "Size", "Date" and
// "Attr", over the rows the core lists. A row's name, attribute number and length are data of
// the model (the roles below, in place of a hidden "AttrNum" column), never read back from the
// text it shows.

#include <QAbstractTableModel>
#include <QFileIconProvider>
#include <QIcon>
#include <QStringList>
#include <map>
#include <unordered_set>
#include <vector>

#include "formats/paths.h"
#include "shell/file_list.h"

namespace durnix {

class FileListModel : public QAbstractTableModel {
  Q_OBJECT

 signals:
  // The user edited the name of row `row` in place to `text`.
  void nameEdited(int row, const QString& text);

 public:
  enum Column { kName, kExt, kSize, kDate, kAttr, kColumns };
  enum Role {
    kFileNameRole = Qt::UserRole + 1,  // the entry's name as the file system has it (bytes)
    kAttributesRole,                   // the attribute number
    kBytesRole,                        // the file's length; 0 for folders
  };

  explicit FileListModel(QObject* parent = nullptr);

  // The listing of `folder`, of the `kind` the pane says: every row anew, sorted by the current
  // sort column. The rows of a network level (`networkLevel`: work groups, computers, shared
  // folders) show the network's icons and are neither renamed nor dragged.
  void setRows(std::vector<FileRow> rows, const std::string& folder, PathKind kind,
               bool networkLevel = false);
  // One more row at the end (a file written while a conversion runs); not sorted in.
  void appendRow(FileRow row);
  void clear();
  // Whether an entry of that name is listed.
  bool contains(const std::string& name) const;

  const FileRow& row(int index) const { return rows_[static_cast<std::size_t>(index)]; }
  int rowCountOf() const { return static_cast<int>(rows_.size()); }
  // The width the "File Name" column needs for its longest text, icons included (measured
  // once per row, as rows come).
  int widestName(const QFontMetrics& metrics) const;

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  // A row's name can be edited in place (not ".."); rows can be dragged out as file URLs.
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  // An edited name is not taken into the row: the pane renames the file and lists the folder
  // anew (`nameEdited`).
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;
  QStringList mimeTypes() const override;
  QMimeData* mimeData(const QModelIndexList& indexes) const override;
  Qt::DropActions supportedDragActions() const override { return Qt::CopyAction | Qt::MoveAction; }
  Qt::DropActions supportedDropActions() const override { return Qt::CopyAction | Qt::MoveAction; }
  // By the text of a column, as a list of texts sorts: folders, whose text begins with a blank,
  // come first in ascending order; "Size" sorts as text.
  void sort(int column, Qt::SortOrder order) override;

  const std::string& folder() const { return folder_; }

  // The height of every row: enough for a 16-pixel icon and a line of text.
  void setRowHeight(int height) { rowHeight_ = height; }

 private:
  QIcon iconOf(const FileRow& row) const;
  void sortRows();

  std::vector<FileRow> rows_;
  std::unordered_set<std::string> names_;
  mutable int widest_ = -1;           // -1: not measured yet
  mutable std::size_t measured_ = 0;  // rows measured so far
  std::string folder_;
  PathKind kind_ = PathKind::kLocal;
  bool networkLevel_ = false;
  int sortColumn_ = kName;
  Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
  int rowHeight_ = 20;
  mutable std::map<QString, QIcon> iconCache_;  // the desktop's icons, once per extension
};

// The program's own icon: a small spectrum.
QIcon ProgramIcon();

// The desktop's icon for a file of this name's type, told by the name's extension alone: no
// file is looked at, so that a row of a shared folder never waits on the network.
QIcon TypeIcon(const QString& name);

}  // namespace durnix
