// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/places.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QStyle>

#include "formats/paths.h"

namespace durnix {

namespace {

PlaceKind kindOf(const QStorageInfo& volume) {
  const QByteArray type = volume.fileSystemType();
  if (type.startsWith("nfs") || type == "cifs" || type == "smb3" || type == "smbfs" ||
      type.startsWith("fuse.sshfs") || type == "9p") {
    return PlaceKind::kNetwork;
  }
  if (type == "iso9660" || type == "udf") return PlaceKind::kOptical;
  // A block device the kernel marks as removable (USB sticks, card readers).
  QString device = QString::fromLocal8Bit(volume.device());
  if (device.startsWith("/dev/")) {
    QString disk = device.mid(5);
    while (!disk.isEmpty() && disk.back().isDigit()) disk.chop(1);
    if (disk.startsWith("nvme") || disk.startsWith("mmcblk")) disk.chop(1);  // the "p" of p1
    QFile removable("/sys/block/" + disk + "/removable");
    if (removable.open(QIODevice::ReadOnly) && removable.readAll().trimmed() == "1") {
      return PlaceKind::kRemovable;
    }
  }
  return PlaceKind::kFixed;
}

std::string folderOf(const QString& path) {
  return WithFinalSlash(QDir(path).absolutePath().toStdString());
}

}  // namespace

std::vector<Place> MachinePlaces() {
  std::vector<Place> places;
  places.push_back({"Home", folderOf(QDir::homePath()), PlaceKind::kHome});
  places.push_back({"/", "/", PlaceKind::kRoot});
  for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
    if (!volume.isValid() || !volume.isReady()) continue;
    const PlaceKind kind = kindOf(volume);
    if (kind == PlaceKind::kFixed) continue;  // reached through "/"
    const std::string top = folderOf(volume.rootPath());
    if (top == "/") continue;
    std::string name = volume.displayName().toStdString();
    if (name.empty()) name = top;
    places.push_back({name, top, kind});
  }
  return places;
}

QIcon PlaceIcon(PlaceKind kind) {
  QStyle* style = QApplication::style();
  switch (kind) {
    case PlaceKind::kHome:
      return style->standardIcon(QStyle::SP_DirHomeIcon);
    case PlaceKind::kRoot:
      return style->standardIcon(QStyle::SP_DriveHDIcon);
    case PlaceKind::kRemovable:
      return style->standardIcon(QStyle::SP_DriveFDIcon);
    case PlaceKind::kNetwork:
      return style->standardIcon(QStyle::SP_DriveNetIcon);
    case PlaceKind::kOptical:
      return style->standardIcon(QStyle::SP_DriveCDIcon);
    case PlaceKind::kFixed:
      break;
  }
  return style->standardIcon(QStyle::SP_DriveHDIcon);
}

}  // namespace durnix
