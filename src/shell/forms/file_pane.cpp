// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/forms/file_pane.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDropEvent>
#include <QFutureWatcher>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QTreeView>
#include <QUrl>
#include <QtConcurrent>
#include <algorithm>

#include "platform/paths.h"
#include "platform/places.h"
#include "platform/twips.h"
#include "shell/forms/file_list_model.h"

namespace durnix {

namespace {

std::string grouping() {
  return QLocale().groupSeparator().toStdString();
}

}  // namespace

FilePane::FilePane(int index, FileSystem& files, Navigation& navigation, Prompter& prompter,
                   QWidget* parent)
    : QWidget(parent), index_(index), files_(files), navigation_(navigation), prompter_(prompter) {
  setObjectName(QString("Pane%1").arg(index));
  // A listing stuck on a slow share leaves a worker free for the next one.
  readers_.setMaxThreadCount(4);
  build();
}

FilePane::~FilePane() {
  readers_.waitForDone();
}

void FilePane::waitForListings() {
  readers_.waitForDone();
}

void FilePane::build() {
  const QString n = QString::number(index_);
  lblTitle = new QLabel(index_ == 0 ? "Source" : "Destination", this);
  lblTitle->setObjectName("lblTitle" + n);
  lblTitle->setAlignment(Qt::AlignCenter);
  lblTitle->setAutoFillBackground(true);
  QPalette title = lblTitle->palette();
  title.setColor(QPalette::Window, QColor(128, 128, 128));
  title.setColor(QPalette::WindowText, Qt::white);
  lblTitle->setPalette(title);
  QFont bold = lblTitle->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.3);
  lblTitle->setFont(bold);

  CombForm = new QComboBox(this);
  CombForm->setObjectName("CombForm" + n);
  CmdSel = new QPushButton("Select All", this);
  CmdSel->setObjectName("CmdSel" + n);
  CmdRef = new QPushButton("Refresh", this);
  CmdRef->setObjectName("CmdRef" + n);
  DriveList = new QComboBox(this);
  DriveList->setObjectName("DriveList" + n);
  DriveList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  DriveList->view()->setMinimumWidth(Twips(2400));
  rebuildDriveList();
  lblPath = new QLabel(this);
  lblPath->setObjectName("lblPath" + n);
  lblPath->setAutoFillBackground(true);
  lblPath->setIndent(4);
  lblPath->installEventFilter(this);
  cmdRoot = new QPushButton("/", this);
  cmdRoot->setObjectName("cmdRoot" + n);
  cmdRoot->setToolTip("To the top folder of this place");
  cmdUp = new QPushButton("..", this);
  cmdUp->setObjectName("cmdUp" + n);
  cmdUp->setToolTip("Up one folder");

  model_ = new FileListModel(this);
  model_->setRowHeight(std::max(16, fontMetrics().height()) + 4);
  ListView = new QTreeView(this);
  ListView->setObjectName("ListView" + n);
  ListView->setModel(model_);
  ListView->setRootIsDecorated(false);
  ListView->setUniformRowHeights(true);
  ListView->setIconSize(QSize(16, 16));
  ListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListView->setSelectionBehavior(QAbstractItemView::SelectRows);
  ListView->setAllColumnsShowFocus(true);
  ListView->setTextElideMode(Qt::ElideRight);
  ListView->header()->setStretchLastSection(false);
  ListView->header()->setSectionsClickable(true);
  ListView->header()->setSortIndicatorShown(true);
  ListView->setSortingEnabled(true);
  ListView->sortByColumn(FileListModel::kName, Qt::AscendingOrder);
  ListView->installEventFilter(this);
  ListView->setAutoFillBackground(true);
  // Names are edited in place with F2 or a click on a selected row; rows are dragged out as
  // file URLs, and files are dropped in from the other pane or the desktop.
  ListView->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
  ListView->setDragEnabled(true);
  ListView->setAcceptDrops(true);
  ListView->setDropIndicatorShown(false);
  ListView->setDragDropMode(QAbstractItemView::DragDrop);
  ListView->setDefaultDropAction(Qt::CopyAction);
  ListView->viewport()->installEventFilter(this);
  connect(model_, &FileListModel::nameEdited, this, [this](int row, const QString& text) {
    const FileRow& r = model_->row(row);
    emit nameEdited(index_, r.name, r.extension, text);
  });

  lblFile = new QLabel(index_ == 0 ? "Source Status" : "Destination status", this);
  lblFile->setObjectName("lblFile" + n);
  lblFreeSpace = new QLabel(this);
  lblFreeSpace->setObjectName("lblFreeSpace" + n);
  lblFreeSpace->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

  connect(CmdRef, &QPushButton::clicked, this, &FilePane::refresh);
  connect(CmdSel, &QPushButton::clicked, this, &FilePane::CmdSel_Click);
  connect(cmdUp, &QPushButton::clicked, this, &FilePane::cmdUp_Click);
  connect(cmdRoot, &QPushButton::clicked, this, &FilePane::cmdRoot_Click);
  connect(DriveList, qOverload<int>(&QComboBox::activated), this, &FilePane::DriveList_Click);
  connect(ListView->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (selecting_ || loading_) return;
    emit activated(index_);
    takeSelection();
    writeStatusLine();
  });
  connect(ListView, &QTreeView::doubleClicked, this, [this] { activateFirstSelected(); });
}

FilePane::Listing FilePane::read(FileSystem& files, const std::string& folder,
                                 const std::string& mask, bool top, const std::string& groups) {
  Listing listing;
  listing.status = ListFolderRows(files, folder, mask, top, groups, listing.rows, listing.bytes,
                                  &listing.skipped);
  return listing;
}

int FilePane::MakeFileList() {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  Listing listing = read(files_, folder(), mask_, navigation_.atTop(index_), grouping());
  QApplication::restoreOverrideCursor();
  return showListing(std::move(listing));
}

int FilePane::showListing(Listing listing) {
  const int error = listing.status.error;
  paneBytes_ = listing.bytes;
  selecting_ = true;
  model_->setRows(std::move(listing.rows), folder(), navigation_.kind(index_));
  selecting_ = false;
  // Entries that a broken or hostile server names so that they lead out of the folder are not
  // listed; the user hears of them once for the folder.
  if (listing.skipped == 0) {
    toldSkipped_.clear();
  } else if (toldSkipped_ != folder()) {
    toldSkipped_ = folder();
    prompter_.Ask(SkippedNamesText(listing.skipped, folder()), StandardButtons::kOk);
  }
  if (listing.status != kDone) return error != 0 ? error : 1;
  selection_.bytes = 0;
  writeStatusLine();
  return 0;
}

bool FilePane::endRefresh(int error) {
  if (error != 0) {
    // A folder that cannot be read, also part way through: the user may try again.
    const std::string reason = error > 0 || error == kErrorNotRegular ? SystemErrorText(error) : "";
    if (prompter_.Ask("Disk is not ready !!", StandardButtons::kRetryCancel,
                      {Question::kRetryRead, reason}) == kAnswerRetry) {
      return true;
    }
    model_->clear();
    showPath();
    return false;
  }
  showPlace();
  showPath();
  emit activated(index_);
  writeStatusLine();
  showFreeSpace();
  emit listed();
  return false;
}

void FilePane::CmdRef_Click() {
  ++request_;  // a listing still being read is no longer wanted
  if (navigation_.onNetwork(index_)) {
    refreshOnNetwork();
    return;
  }
  do {
    selection_.clear();
    selecting_ = true;
    model_->clear();
    selecting_ = false;
  } while (endRefresh(MakeFileList()));
}

void FilePane::refresh() {
  if (navigation_.onNetwork(index_)) {
    CmdRef_Click();
    return;
  }
  const int request = ++request_;
  selection_.clear();
  selecting_ = true;
  model_->clear();
  selecting_ = false;
  paneBytes_ = 0;
  showPath();
  showStatus("Reading " + folder() + " ...");
  auto* watcher = new QFutureWatcher<Listing>(this);
  connect(watcher, &QFutureWatcher<Listing>::finished, this, [this, watcher, request] {
    watcher->deleteLater();
    if (request != request_) return;
    if (endRefresh(showListing(watcher->result()))) refresh();
  });
  // The worker reads from copies of the folder and the mask; the file system may be used from
  // several threads.
  const std::string at = folder();
  const std::string mask = mask_;
  const bool top = navigation_.atTop(index_);
  const std::string groups = grouping();
  FileSystem& files = files_;
  watcher->setFuture(QtConcurrent::run(
      &readers_, [&files, at, mask, top, groups] { return read(files, at, mask, top, groups); }));
}

void FilePane::takeSelection() {
  selection_.clear();
  QModelIndexList rows = ListView->selectionModel()->selectedRows();
  std::sort(rows.begin(), rows.end(),
            [](const QModelIndex& a, const QModelIndex& b) { return a.row() < b.row(); });
  for (const QModelIndex& at : rows) {
    const FileRow& row = model_->row(at.row());
    selection_.add(row.name, row.attributeNumber, row.bytes);
  }
}

void FilePane::CmdSel_Click() {
  emit activated(index_);
  selection_.clear();
  // Every file, folders and ".." not: the rows in ranges, for long lists.
  QItemSelection files;
  int first = -1;
  const int last = FileListModel::kColumns - 1;
  for (int i = 0; i <= model_->rowCountOf(); ++i) {
    const bool file = i < model_->rowCountOf() && !model_->row(i).isFolder();
    if (file && first < 0) first = i;
    if (!file && first >= 0) {
      files.select(model_->index(first, 0), model_->index(i - 1, last));
      first = -1;
    }
    if (file)
      selection_.add(model_->row(i).name, model_->row(i).attributeNumber, model_->row(i).bytes);
  }
  selecting_ = true;
  ListView->selectionModel()->select(files, QItemSelectionModel::ClearAndSelect);
  selecting_ = false;
  ListView->setFocus();
  writeStatusLine();
}

void FilePane::activateFirstSelected() {
  if (selection_.count() == 0) return;
  const std::string name = selection_.names.front();
  const int attributes = selection_.attributes.front();
  switch (ActivationOf(name, attributes)) {
    case Activation::kUp:
      cmdUp_Click();
      return;
    case Activation::kEnterFolder:
      navigation_.enter(index_, name);
      refresh();
      return;
    case Activation::kNothing:
      return;
    default:
      emit entryActivated(index_, name, attributes);
      return;
  }
}

void FilePane::cmdUp_Click() {
  if (navigation_.up(index_)) refresh();
}

void FilePane::cmdRoot_Click() {
  navigation_.root(index_);
  refresh();
}

void FilePane::DriveList_Click(int place) {
  if (loading_) return;
  if (place == navigation_.networkEntry() && navigation_.workGroup().empty()) {
    // The network entry needs the client's work group; without one the pane stays where it was.
    std::string group;
    const int code = network_ != nullptr ? network_->ReadWorkGroup(group) : kNetNoWorkGroup;
    if (code != kNetDone) {
      prompter_.Ask(
          code == kNetNoConfiguration ? std::string(kNoRegistry) : WorkGroupNotFoundText(),
          StandardButtons::kOk);
      showPlace();
      return;
    }
    navigation_.setWorkGroup(group);
  }
  model_->clear();
  navigation_.changePlace(index_, place);
  showPlace();
  showPath();
  refresh();
}

void FilePane::writeStatusLine() {
  showStatus(StatusLine(selection_.count(), selection_.bytes, model_->rowCountOf(), paneBytes_,
                        grouping()));
}

void FilePane::showStatus(const std::string& text) {
  lblFile->setText(QString::fromLatin1(text.c_str()));
  lblFile->setToolTip(lblFile->text());
}

void FilePane::showFreeSpace() {
  unsigned long long freeBytes = 0, totalBytes = 0;
  const bool known = files_.Space(folder(), freeBytes, totalBytes) == kDone;
  lblFreeSpace->setText(
      known ? QString::fromLatin1(FreeSpaceText(freeBytes, totalBytes, grouping()).c_str())
            : QString());
  lblFreeSpace->setToolTip(lblFreeSpace->text());
  emit bottomChanged();
}

// The path label shows the end of a long path, where the folder's own name is.
void FilePane::showPath() {
  const QString path = PathText(folder());
  lblPath->setToolTip(path);
  lblPath->setText(
      lblPath->fontMetrics().elidedText(path, Qt::ElideLeft, std::max(10, lblPath->width() - 8)));
}

void FilePane::showPlace() {
  DriveList->setCurrentIndex(navigation_.place(index_));
}

void FilePane::setActive(bool active) {
  QPalette list = ListView->palette();
  list.setColor(QPalette::Base,
                active ? QApplication::palette().color(QPalette::Base) : QColor(176, 176, 176));
  ListView->setPalette(list);
  QPalette path = lblPath->palette();
  path.setColor(QPalette::Window, active ? QApplication::palette().color(QPalette::Highlight)
                                         : QColor(128, 128, 128));
  path.setColor(QPalette::WindowText, Qt::white);
  lblPath->setPalette(path);
}

void FilePane::addFile(const std::string& name, long long bytes) {
  if (!MatchesMask(name, mask_) || model_->contains(name)) return;
  const int attributes = AttributeNumberOf(EntryKind::kFile, false, name);
  FileRow row = MakeRow(name, attributes, bytes, std::time(nullptr), grouping());
  paneBytes_ += row.bytes;
  model_->appendRow(std::move(row));
}

// Files dragged onto the list: from the other pane (Copy, or Move with Shift, Ctrl or Alt) or
// from outside the program; a drag of the pane's own rows onto itself does nothing.
bool FilePane::dropEvent(QEvent* event) {
  auto* drop = static_cast<QDropEvent*>(event);
  const QMimeData* mime = drop->mimeData();
  if (mime == nullptr || !mime->hasUrls() || drop->source() == ListView) {
    drop->ignore();
    return true;
  }
  const bool shift = (drop->modifiers() & Qt::ShiftModifier) != 0;
  drop->setDropAction(shift ? Qt::MoveAction : Qt::CopyAction);
  drop->accept();
  if (event->type() != QEvent::Drop) return true;
  QStringList paths;
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile()) paths << url.toLocalFile();
  }
  const bool fromOther = other_ != nullptr && drop->source() == other_->ListView;
  if (!paths.isEmpty() || fromOther) emit filesDropped(index_, paths, drop->modifiers(), fromOther);
  return true;
}

bool FilePane::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ListView->viewport() &&
      (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
       event->type() == QEvent::Drop)) {
    return dropEvent(event);
  }
  if (watched == ListView) {
    if (event->type() == QEvent::FocusIn && !loading_) emit activated(index_);
    if (event->type() == QEvent::KeyPress) {
      const int key = static_cast<QKeyEvent*>(event)->key();
      if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Enter that ends the edit of a name comes up from the editor: it ends the edit only.
        if (ListView->indexWidget(ListView->currentIndex()) != nullptr) return true;
        takeSelection();
        if (selection_.count() > 0 &&
            ActivationOf("x", selection_.attributes.front()) != Activation::kEnterFolder) {
          emit viewRequested(index_);
        } else {
          activateFirstSelected();
        }
        return true;
      }
    }
  }
  if (watched == lblPath && event->type() == QEvent::MouseButtonPress) {
    ListView->setFocus(Qt::MouseFocusReason);
    emit activated(index_);
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace durnix
