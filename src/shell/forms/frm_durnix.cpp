// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/forms/frm_durnix.h"

#include <sys/stat.h>

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QTreeWidget>
#include <QUrl>
#include <filesystem>

#include "convert/forms/frm_axis_conv.h"
#include "convert/forms/frm_rump.h"
#include "convert/forms/frm_setup.h"
#include "durnix/version.h"
#include "elements/forms/frm_ptable.h"
#include "formats/catalogue.h"
#include "formats/text_rules.h"
#include "platform/help_viewer.h"
#include "platform/keyboard.h"
#include "platform/places.h"
#include "platform/qt_prompter.h"
#include "platform/twips.h"

namespace durnix {

namespace {

// The client area as designed, in twips, and what the window's frame and title bar add to it.
constexpr double kDesignWidth = 9045;
constexpr double kDesignHeight = 5805;
constexpr std::int32_t kFrameWidth = 120;
constexpr std::int32_t kFrameHeight = 600;

// Columns of the file lists.
enum Column { kName, kExt, kSize, kDate, kAttr, kAttrNum };

QString latin1(std::string_view text) {
  return QString::fromLatin1(text.data(), static_cast<int>(text.size()));
}
std::string bytesOf(const QString& text) {
  return text.toLatin1().toStdString();
}

// Rows sort by the text of the sort column, as a list of texts does.
class Row : public QTreeWidgetItem {
 public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override {
    const int column = treeWidget() != nullptr ? treeWidget()->sortColumn() : 0;
    return text(column).compare(other.text(column), Qt::CaseInsensitive) < 0;
  }
};

// The program's own icon: a small spectrum.
QIcon programIcon() {
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

QPixmap lamp(const QColor& colour) {
  QPixmap pixmap(Twips(300), Twips(300));
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setBrush(colour);
  p.setPen(colour.darker());
  p.drawEllipse(pixmap.rect().adjusted(1, 1, -2, -2));
  return pixmap;
}

class QtFolderPicker : public FolderPicker {
 public:
  explicit QtFolderPicker(QWidget* parent) : parent_(parent) {}
  std::optional<std::string> PickFolder(const std::string& caption) override {
    const QString folder = QFileDialog::getExistingDirectory(parent_, latin1(caption));
    if (folder.isEmpty()) return std::nullopt;
    return folder.toStdString();
  }

 private:
  QWidget* parent_;
};

}  // namespace

// What a conversion run asks of the window.
class FrmDurnix::RunHost : public ConversionHost {
 public:
  explicit RunHost(FrmDurnix& window) : w_(window) {}
  void SetSourceStatus(const std::string& text) override {
    w_.pane(0).lblFile->setText(latin1(text));
  }
  void SetDestinationStatus(const std::string& text) override {
    w_.tally_ = text;
    w_.pane(1).lblFile->setText(latin1(text));
  }
  void SetBusy(bool busy) override {
    if (busy && !busy_) QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!busy && busy_) QApplication::restoreOverrideCursor();
    busy_ = busy;
    w_.client_->setEnabled(!busy);
    w_.menuBar()->setEnabled(!busy);
  }
  void RefillDestinationList() override {
    w_.pane(1).ListView->clear();
    w_.MakeFileList(1);
    w_.pane(1).lblFile->setText(latin1(w_.tally_));  // the tally stays in view
  }
  void RefreshBothLists() override {
    w_.CmdRef_Click(1);
    w_.CmdRef_Click(0);
  }
  void LetEventsRun() override { QCoreApplication::processEvents(); }
  void ShowStampData() override { w_.mnuStamp_Click(); }
  void CloseStampEditor() override { w_.rumpEditor()->close(); }
  void EditStampDataModal() override {
    FrmRump* editor = w_.rumpEditor();
    if (!editor->editingStamp()) w_.mnuStamp_Click();
    editor->hide();
    editor->setModal(true);
    editor->exec();
    editor->setModal(false);
  }
  ~RunHost() override {
    if (busy_) SetBusy(false);
  }

 private:
  FrmDurnix& w_;
  bool busy_ = false;
};

FrmDurnix::FrmDurnix(Startup startup)
    : startup_(std::move(startup)),
      nav_(startup_.places.empty() ? MachinePlaces() : startup_.places) {
  setObjectName("FrmDurnix");
  if (startup_.programFolder.isEmpty())
    startup_.programFolder = QCoreApplication::applicationDirPath();
  if (startup_.prompter == nullptr) {
    ownPrompter_ = std::make_unique<QtPrompter>(this);
    startup_.prompter = ownPrompter_.get();
  }
  if (startup_.folderPicker == nullptr) {
    ownPicker_ = std::make_unique<QtFolderPicker>(this);
    startup_.folderPicker = ownPicker_.get();
  }
  loading_ = true;
  QFont font("Arial");
  font.setPointSizeF(8.25);
  setFont(font);

  client_ = new QWidget(this);
  client_->setObjectName("client");
  setCentralWidget(client_);
  buildToolbar(client_);
  buildPanes(client_);
  buildStampIndicator(client_);
  buildCommandButtons(client_);
  buildMenus();

  // The drive lists: the places of the machine, each with the icon of its kind.
  for (int p = 0; p < 2; ++p) {
    for (const Place& place : nav_.places()) {
      pane(p).DriveList->addItem(PlaceIcon(place.kind), latin1(place.name));
      pane(p).DriveList->setItemData(pane(p).DriveList->count() - 1,
                                     latin1(place.name + "  " + place.top), Qt::ToolTipRole);
    }
  }
  // The format lists: every format for the source, all but AUTO for the destination.
  for (const FormatInfo& format : FormatCatalogue()) {
    pane(0).CombForm->addItem(latin1(format.displayName));
    if (format.code != FMT_AUTO) pane(1).CombForm->addItem(latin1(format.displayName));
  }

  // durnix.cfg in the program's folder, or the defaults when there is none that is valid.
  const QString config = QDir(startup_.programFolder).filePath(kConfigFileName);
  if (QFileInfo::exists(config)) {
    configLoaded_ = LoadConfig(config.toStdString(), prefs_, prompter(), *startup_.folderPicker);
  }
  if (!configLoaded_) applyDefaults();
  applyPreferences();

  applyWindowSize();
  centre();
  setWindowTitle(QString("Durnix v") + kProgramVersion);
  HelpViewer::SetHelpFile(QDir(startup_.programFolder).filePath("Durnix.hlp"));

  for (int p : {1, 0}) {
    QTreeWidget* list = pane(p).ListView;
    list->setSortingEnabled(true);
    list->sortByColumn(kName, Qt::AscendingOrder);
    CmdRef_Click(p);
  }
  loading_ = false;
  layoutClient();
}

FrmDurnix::~FrmDurnix() = default;

Prompter& FrmDurnix::prompter() {
  return *startup_.prompter;
}

void FrmDurnix::buildToolbar(QWidget* client) {
  toolbar_ = new QToolBar(client);
  toolbar_->setObjectName("Toolbar");
  toolbar_->setIconSize(QSize(16, 16));
  QStyle* style = QApplication::style();
  struct Tool {
    int index;
    const char* tip;
    QStyle::StandardPixmap icon;
    void (FrmDurnix::*slot)();
  };
  const Tool tools[] = {
      {1, "Convert", QStyle::SP_BrowserReload, &FrmDurnix::mnuConv_Click},
      {2, "View spectrum", QStyle::SP_FileDialogContentsView, nullptr},
      {4, "Make dir", QStyle::SP_FileDialogNewFolder, nullptr},
      {5, "Properties", QStyle::SP_FileDialogInfoView, nullptr},
      {7, "Edit Rump data", QStyle::SP_FileDialogDetailedView, &FrmDurnix::mnuRumpEdit_Click},
      {8, "Edit stamp file", QStyle::SP_DialogApplyButton, &FrmDurnix::mnuStamp_Click},
      {9, "Edit text", QStyle::SP_FileIcon, nullptr},
      {11, "Periodic table", QStyle::SP_ComputerIcon, &FrmDurnix::mnuPTable_Click},
      {12, "Time to energy", QStyle::SP_ArrowRight, &FrmDurnix::mnuT2E_Click},
      {13, "Energy to time", QStyle::SP_ArrowLeft, &FrmDurnix::mnuE2T_Click},
  };
  int next = 1;
  for (const Tool& tool : tools) {
    for (; next < tool.index; ++next) toolbar_->addSeparator();
    QAction* action = toolbar_->addAction(style->standardIcon(tool.icon), tool.tip);
    action->setObjectName(QString("Toolbar%1").arg(tool.index));
    action->setToolTip(tool.tip);
    if (tool.slot != nullptr) {
      connect(action, &QAction::triggered, this, tool.slot);
    } else {
      action->setEnabled(false);  // commands that come with later parts of the program
    }
    next = tool.index + 1;
  }
}

void FrmDurnix::buildPanes(QWidget* client) {
  for (int p = 0; p < 2; ++p) {
    Pane& s = pane(p);
    const QString n = QString::number(p);
    s.lblTitle = new QLabel(p == 0 ? "Source" : "Destination", client);
    s.lblTitle->setObjectName("lblTitle" + n);
    s.lblTitle->setAlignment(Qt::AlignCenter);
    s.lblTitle->setAutoFillBackground(true);
    QPalette title = s.lblTitle->palette();
    title.setColor(QPalette::Window, QColor(128, 128, 128));
    title.setColor(QPalette::WindowText, Qt::white);
    s.lblTitle->setPalette(title);
    QFont bold = s.lblTitle->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    s.lblTitle->setFont(bold);

    s.CombForm = new QComboBox(client);
    s.CombForm->setObjectName("CombForm" + n);
    s.CmdSel = new QPushButton("Select All", client);
    s.CmdSel->setObjectName("CmdSel" + n);
    s.CmdRef = new QPushButton("Refresh", client);
    s.CmdRef->setObjectName("CmdRef" + n);
    s.DriveList = new QComboBox(client);
    s.DriveList->setObjectName("DriveList" + n);
    s.DriveList->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    s.DriveList->view()->setMinimumWidth(Twips(2400));
    s.lblPath = new QLabel(client);
    s.lblPath->setObjectName("lblPath" + n);
    s.lblPath->setAutoFillBackground(true);
    s.lblPath->setIndent(4);
    s.lblPath->installEventFilter(this);
    s.cmdRoot = new QPushButton("/", client);
    s.cmdRoot->setObjectName("cmdRoot" + n);
    s.cmdRoot->setToolTip("To the top folder of this place");
    s.cmdUp = new QPushButton("..", client);
    s.cmdUp->setObjectName("cmdUp" + n);
    s.cmdUp->setToolTip("Up one folder");

    s.ListView = new QTreeWidget(client);
    s.ListView->setObjectName("ListView" + n);
    s.ListView->setRootIsDecorated(false);
    s.ListView->setUniformRowHeights(true);
    s.ListView->setSelectionMode(QAbstractItemView::ExtendedSelection);
    s.ListView->setAllColumnsShowFocus(true);
    s.ListView->setHeaderLabels({"File Name", "Ext", "Size", "Date", "Attr", "AttrNum"});
    s.ListView->headerItem()->setTextAlignment(kExt, Qt::AlignCenter);
    s.ListView->headerItem()->setTextAlignment(kSize, Qt::AlignRight | Qt::AlignVCenter);
    s.ListView->headerItem()->setTextAlignment(kAttr, Qt::AlignCenter);
    s.ListView->setColumnHidden(kAttrNum, true);
    s.ListView->header()->setStretchLastSection(false);
    s.ListView->header()->setSectionsClickable(true);
    s.ListView->installEventFilter(this);
    s.ListView->setAutoFillBackground(true);

    s.lblFile = new QLabel(p == 0 ? "Source Status" : "Destination status", client);
    s.lblFile->setObjectName("lblFile" + n);
    s.lblFreeSpace = new QLabel(client);
    s.lblFreeSpace->setObjectName("lblFreeSpace" + n);
    s.lblFreeSpace->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    connect(s.CmdRef, &QPushButton::clicked, this, [this, p] { CmdRef_Click(p); });
    connect(s.CmdSel, &QPushButton::clicked, this, [this, p] { CmdSel_Click(p); });
    connect(s.cmdUp, &QPushButton::clicked, this, [this, p] { cmdUp_Click(p); });
    connect(s.cmdRoot, &QPushButton::clicked, this, [this, p] { cmdRoot_Click(p); });
    connect(s.DriveList, qOverload<int>(&QComboBox::activated), this,
            [this, p](int place) { DriveList_Click(p, place); });
    connect(s.ListView, &QTreeWidget::itemSelectionChanged, this,
            [this, p] { selectionChanged(p); });
    connect(s.ListView, &QTreeWidget::itemDoubleClicked, this, [this, p] { activate(p); });
  }
}

void FrmDurnix::buildStampIndicator(QWidget* client) {
  cmdStampOn_ = new QPushButton("Stamp", client);
  cmdStampOn_->setObjectName("CmdStampON");
  cmdStampOn_->setToolTip("Rump stamp mode on or off");
  connect(cmdStampOn_, &QPushButton::clicked, this, [this] { setStampMode(!prefs_.StampMode); });
  picStampOn_ = new QLabel(client);
  picStampOn_->setObjectName("PicStampOn");
  picStampOn_->setPixmap(lamp(QColor(0, 200, 0)));
  picStampOff_ = new QLabel(client);
  picStampOff_->setObjectName("PicStampOff");
  picStampOff_->setPixmap(lamp(QColor(200, 0, 0)));
  lblOn_ = new QLabel("ON", client);
  lblOn_->setObjectName("lblON");
  lblOff_ = new QLabel("OFF", client);
  lblOff_->setObjectName("lblOff");
}

void FrmDurnix::buildCommandButtons(QWidget* client) {
  struct Button {
    const char* name;
    const char* caption;
    void (FrmDurnix::*slot)();
  };
  const Button buttons[] = {
      {"cmdConv", "Convert", &FrmDurnix::mnuConv_Click},
      {"cmdSpect", "Spectrum", nullptr},
      {"cmdText", "Text View", nullptr},
      {"cmdData", "RUMP Data", &FrmDurnix::mnuRumpEdit_Click},
      {"CmdCopy", "Copy", nullptr},
      {"CmdMove", "Move", nullptr},
      {"CmdMkDir", "Make Dir", nullptr},
      {"CmdDelete", "Delete", nullptr},
      {"CmdExit", "Exit", nullptr},
  };
  for (const Button& b : buttons) {
    auto* button = new QPushButton(b.caption, client);
    button->setObjectName(b.name);
    button->setAutoDefault(false);
    if (b.slot != nullptr) {
      connect(button, &QPushButton::clicked, this, b.slot);
    } else if (QString(b.name) == "CmdExit") {
      connect(button, &QPushButton::clicked, this, &QWidget::close);
    } else {
      button->setEnabled(false);  // commands that come with later parts of the program
    }
    buttons_[b.name] = button;
  }
}

QAction* FrmDurnix::addAction(QMenu* menu, const QString& name, const QString& caption,
                              void (FrmDurnix::*slot)()) {
  QAction* action = menu->addAction(caption);
  action->setObjectName(name);
  if (slot != nullptr) connect(action, &QAction::triggered, this, slot);
  return action;
}

void FrmDurnix::buildMenus() {
  QMenu* file = menuBar()->addMenu("&File");
  file->setObjectName("mnuFile");
  addAction(file, "mnuConv", "&Convert", &FrmDurnix::mnuConv_Click);
  for (const auto& [name, caption] : std::initializer_list<std::pair<const char*, const char*>>{
           {"mnuView", "&View Spectrum"},
           {"mnuCopy", "Copy"},
           {"mnuMove", "&Move"},
           {"mnuDelete", "Delete"},
           {"mnuRename", "&Rename"},
           {"mnuMkDir", "Make &Dir"},
           {"mnuProperties", "&Properties"},
           {"mnuConnect", "Connect Network Drive"},
           {"mnuDisconnect", "Disconnect Network Drive"}}) {
    addAction(file, name, caption)->setEnabled(false);  // later parts of the program
  }
  file->addSeparator();
  connect(addAction(file, "mnuExit", "E&xit"), &QAction::triggered, this, &QWidget::close);

  QMenu* edit = menuBar()->addMenu("&Edit");
  edit->setObjectName("mnuEdit");
  addAction(edit, "mnuRumpEdit", "Edit Rump Data", &FrmDurnix::mnuRumpEdit_Click);
  addAction(edit, "mnuStamp", "Edit &Stamp Data", &FrmDurnix::mnuStamp_Click);
  addAction(edit, "mnuTextEdit", "Edit Text")->setEnabled(false);
  addAction(edit, "mnuPTable", "&PTable", &FrmDurnix::mnuPTable_Click);
  QMenu* axis = edit->addMenu("&Axis conversion");
  axis->setObjectName("mnuAxis");
  addAction(axis, "mnuT2E", "Time to Energy", &FrmDurnix::mnuT2E_Click);
  addAction(axis, "mnuE2T", "Energy to time", &FrmDurnix::mnuE2T_Click);

  QMenu* pref = menuBar()->addMenu("&Preference");
  pref->setObjectName("mnuPref");
  addAction(pref, "mnuPathForm", "Format && Axis", &FrmDurnix::mnuPathForm_Click);
  const auto radio = [&](QMenu* menu, const QString& group, const QStringList& captions,
                         std::function<void(int)> choose) {
    auto* actions = new QActionGroup(menu);
    actions->setExclusive(true);
    for (int item = 1; item <= captions.size(); ++item) {
      QAction* a = menu->addAction(captions[item - 1]);
      a->setObjectName(group + QString::number(item));
      a->setCheckable(true);
      actions->addAction(a);
      radioGroups_[group].push_back(a);
      connect(a, &QAction::triggered, this, [choose, item] { choose(item); });
    }
  };
  const auto list = [](const auto& captions) {
    QStringList out;
    for (const char* c : captions) out << QString::fromLatin1(c);
    return out;
  };
  radio(pref->addMenu("Source Mask"), "mnuSMask", list(kSourceMaskCaptions),
        [this](int item) { setMask(0, item); });
  radio(pref->addMenu("Destination Mask"), "mnuDMask", list(kDestinationMaskCaptions),
        [this](int item) { setMask(1, item); });
  QMenu* graphic = pref->addMenu("Graphic");
  QStringList sizes;
  for (int item = 1; item <= kDotSizeItems; ++item)
    sizes << QString::fromStdString(DotSizeCaption(item));
  radio(graphic->addMenu("Dot Size"), "mnuDSize", sizes,
        [this](int item) { prefs_.DotSize = DotSizeOfItem(item); });
  radio(graphic->addMenu("Dot Color"), "mnuDColor", list(kDotColourNames), [this](int item) {
    prefs_.DotColour = kDotColourValues[static_cast<std::size_t>(item - 1)];
  });
  radio(graphic->addMenu("Lower limit"), "mnuL", list(kLowerLimitCaptions),
        [this](int item) { prefs_.LowerLimitIndex = static_cast<std::int16_t>(item); });
  radio(graphic->addMenu("Range"), "mnuRan", list(kRangeCaptions),
        [this](int item) { prefs_.RangeIndex = static_cast<std::int16_t>(item); });
  radio(pref->addMenu("Rump Stamp Mode"), "mnuStampVal", {"OFF", "ON"},
        [this](int item) { setStampMode(item == 2); });
  radio(pref->addMenu("Stamp Confirmation"), "mnuConfirmVal", {"OFF", "ON"},
        [this](int item) { setStampConfirm(item == 2); });
  pref->addSeparator();
  connect(addAction(pref, "mnuLDef", "Load Default"), &QAction::triggered, this, [this] {
    const QString path =
        QFileDialog::getOpenFileName(this, "Load default", startup_.programFolder,
                                     "Durnix config file (*.cfg);;All files (*.*)");
    if (path.isEmpty()) return;
    loadConfig(path);
  });
  connect(addAction(pref, "mnuSDef", "Save current setting"), &QAction::triggered, this, [this] {
    const QString path = QFileDialog::getSaveFileName(this, "Save default", startup_.programFolder,
                                                      "Durnix config file (*.cfg)");
    if (path.isEmpty()) return;
    const Status status = saveConfig(path);
    if (status != kDone) {
      prompter().Ask(RunMessage(status, path.toStdString(), "", ""), StandardButtons::kOk);
    }
  });

  QMenu* help = menuBar()->addMenu("&Help");
  help->setObjectName("mnuHelp");
  connect(addAction(help, "mnuContents", "Contents"), &QAction::triggered, this,
          [] { HelpViewer::ShowTopic(1000); });
  connect(addAction(help, "mnuLicence", "Licence"), &QAction::triggered, this,
          [] { HelpViewer::ShowTopic(1006); });
  connect(addAction(help, "mnuVersion", "Version Info."), &QAction::triggered, this,
          [] { HelpViewer::ShowTopic(1007); });
}

void FrmDurnix::tick(const QString& group, int item) {
  for (std::size_t i = 0; i < radioGroups_[group].size(); ++i) {
    radioGroups_[group][i]->setChecked(static_cast<int>(i) + 1 == item);
  }
}

void FrmDurnix::applyDefaults() {
  const Preferences defaults;
  StampData stamp = prefs_.Stamp;
  prefs_ = defaults;
  prefs_.Stamp = stamp;
  // Both panes on the home folder, the first place of the list.
  for (int p = 0; p < 2; ++p) nav_.set(p, 0, nav_.places().front().top);
  prefs_.SourceFolder = nav_.folder(0);
  prefs_.DestinationFolder = nav_.folder(1);
}

void FrmDurnix::applyPreferences() {
  const std::string folders[2] = {prefs_.SourceFolder, prefs_.DestinationFolder};
  for (int p = 0; p < 2; ++p) {
    const int place = PlaceOf(nav_.places(), folders[p]);
    nav_.set(p, place, folders[p]);
    pane(p).DriveList->setCurrentIndex(place);
  }
  tick("mnuSMask", MaskItem(prefs_.SourceMask));
  tick("mnuDMask", MaskItem(prefs_.DestinationMask));
  pane(0).CombForm->setCurrentText(latin1(prefs_.SourceFormat));
  pane(1).CombForm->setCurrentText(latin1(prefs_.DestinationFormat));
  tick("mnuDSize", DotSizeItem(prefs_.DotSize));
  tick("mnuDColor", DotColourItem(prefs_.DotColour));
  tick("mnuL", prefs_.LowerLimitIndex);
  tick("mnuRan", prefs_.RangeIndex);
  setStampMode(prefs_.StampMode);
  setStampConfirm(prefs_.StampConfirm);
}

void FrmDurnix::applyWindowSize() {
  // The stored size is the outer size, frame and title bar included.
  resize(Twips(std::max(prefs_.WindowWidth - kFrameWidth, 1000)),
         Twips(std::max(prefs_.WindowHeight - kFrameHeight, 1000)));
}

void FrmDurnix::centre() {
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    const QRect frame = frameGeometry();
    move(area.x() + (area.width() - frame.width()) / 2,
         area.y() + (area.height() - frame.height()) / 2);
  }
}

void FrmDurnix::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (!loading_ && !isMinimized()) layoutClient();
}

void FrmDurnix::layoutClient() {
  const int w = client_->width();
  const int h = client_->height();
  const double sx = w / static_cast<double>(Twips(kDesignWidth));
  const double sy = h / static_cast<double>(Twips(kDesignHeight));
  const int half = w / 2;
  // The top of each pane keeps its designed rows; across, it scales with the client width.
  const auto across = [&](QWidget* widget, double left, double top, double width, double height) {
    widget->setGeometry(static_cast<int>(Twips(left) * sx), Twips(top),
                        std::max(1, static_cast<int>(Twips(width) * sx)), Twips(height));
  };
  // The command buttons and the stamp indicator scale both ways.
  const auto scaled = [&](QWidget* widget, double left, double top, double width, double height) {
    widget->setGeometry(static_cast<int>(Twips(left) * sx), static_cast<int>(Twips(top) * sy),
                        std::max(1, static_cast<int>(Twips(width) * sx)),
                        std::max(1, static_cast<int>(Twips(height) * sy)));
  };
  toolbar_->setGeometry(0, 0, w, Twips(420));
  struct Top {
    double title[4], form[4], sel[4], ref[4], drive[4], path[4], root[4], up[4];
  };
  const Top tops[2] = {
      {{1560, 484, 1095, 375},
       {0, 898, 2655, 330},
       {2655, 898, 1000, 330},
       {3655, 898, 860, 330},
       {0, 1233, 800, 330},
       {790, 1230, 3050, 352},
       {3820, 1233, 330, 291},
       {4150, 1233, 330, 291}},
      {{6120, 484, 1695, 375},
       {4545, 898, 2655, 330},
       {7200, 898, 1000, 330},
       {8200, 898, 860, 330},
       {4545, 1233, 800, 330},
       {5300, 1230, 3050, 352},
       {8370, 1233, 330, 291},
       {8700, 1233, 330, 291}},
  };
  for (int p = 0; p < 2; ++p) {
    Pane& s = pane(p);
    const Top& t = tops[p];
    across(s.lblTitle, t.title[0], t.title[1], t.title[2], t.title[3]);
    across(s.CombForm, t.form[0], t.form[1], t.form[2], t.form[3]);
    across(s.CmdSel, t.sel[0], t.sel[1], t.sel[2], t.sel[3]);
    across(s.CmdRef, t.ref[0], t.ref[1], t.ref[2], t.ref[3]);
    across(s.DriveList, t.drive[0], t.drive[1], t.drive[2], t.drive[3]);
    across(s.lblPath, t.path[0], t.path[1], t.path[2], t.path[3]);
    across(s.cmdRoot, t.root[0], t.root[1], t.root[2], t.root[3]);
    across(s.cmdUp, t.up[0], t.up[1], t.up[2], t.up[3]);
    showPath(p);

    // Each list takes half the width, down to 625 twips above the bottom edge.
    const int left = p == 0 ? 0 : half;
    const int width = p == 0 ? half : w - half;
    const int top = Twips(1497);
    s.ListView->setGeometry(left, top, width, std::max(1, h - Twips(625) - top));
    // A narrow list keeps names and sizes readable and scrolls across instead.
    const int fixed = Twips(700 + 2000 + 550 + 320);
    const int rest = std::max(0, width - fixed);
    s.ListView->setColumnWidth(kName, std::max(rest * 60 / 100, Twips(1800)));
    s.ListView->setColumnWidth(kExt, Twips(700));
    s.ListView->setColumnWidth(kSize, std::max(rest * 40 / 100, Twips(1000)));
    s.ListView->setColumnWidth(kDate, Twips(2000));
    s.ListView->setColumnWidth(kAttr, Twips(550));

    // The status line first; the free space against the right of the half, shortened to the
    // free amount when both would not fit.
    const int statusTop = h - Twips(550);
    const QFontMetrics metrics = s.lblFile->fontMetrics();
    const int statusWidth = metrics.horizontalAdvance(s.lblFile->text()) + 4;
    const int room = width - Twips(45 + 300 + 90) - statusWidth;
    const QString full = s.lblFreeSpace->toolTip();
    QString free = full;
    if (metrics.horizontalAdvance(free) + 4 > room) free = full.section(" of ", 0, 0) + " kB free";
    if (metrics.horizontalAdvance(free) + 4 > room) free.clear();
    s.lblFreeSpace->setText(free);
    const int freeWidth = free.isEmpty() ? 0 : metrics.horizontalAdvance(free) + 4;
    const int freeLeft = left + width - Twips(300) - freeWidth;
    s.lblFreeSpace->setGeometry(freeLeft, statusTop, std::max(1, freeWidth), Twips(225));
    s.lblFile->setGeometry(left + Twips(45), statusTop, std::max(1, freeLeft - left - Twips(90)),
                           Twips(225));
  }
  // The stamp indicator sits between the titles, in their row.
  across(cmdStampOn_, 4080, 470, 855, 375);
  across(lblOn_, 3300, 540, 300, 225);
  across(lblOff_, 5380, 540, 400, 225);
  across(picStampOn_, 3620, 500, 300, 300);
  across(picStampOff_, 5020, 500, 300, 300);
  struct ButtonPlace {
    const char* name;
    double left, width;
  };
  const ButtonPlace row[] = {
      {"cmdConv", 0, 975},     {"cmdSpect", 960, 1095},  {"cmdText", 2040, 1200},
      {"cmdData", 3240, 1215}, {"CmdCopy", 5010, 855},   {"CmdMove", 5850, 855},
      {"CmdMkDir", 6690, 975}, {"CmdDelete", 7650, 855}, {"CmdExit", 8490, 615}};
  for (const ButtonPlace& b : row) scaled(buttons_[b.name], b.left, 5547, b.width, 300);
}

// ---- The panes -------------------------------------------------------------------------------

int FrmDurnix::MakeFileList(int p) {
  Pane& s = pane(p);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  QCoreApplication::processEvents();
  paneBytes_[static_cast<std::size_t>(p)] = 0;
  const std::string folder = nav_.folder(p);
  const std::string mask = p == 0 ? prefs_.SourceMask : prefs_.DestinationMask;
  const std::string grouping = QLocale().groupSeparator().toStdString();
  QFileIconProvider icons;
  std::map<QString, QIcon> iconCache;  // by extension: the desktop's icons, once per listing
  const QIcon folderIcon = icons.icon(QFileIconProvider::Folder);
  std::vector<QTreeWidgetItem*> rows;
  const bool sorting = s.ListView->isSortingEnabled();
  s.ListView->setSortingEnabled(false);

  const auto addRow = [&](const FileEntry& entry) {
    const std::string& name = entry.name;
    const std::string path = folder + name;
    const FileRow row = MakeRow(name, entry.attributes, entry.bytes, entry.modified, grouping);
    auto* item = new Row();
    item->setText(kName, latin1(row.text));
    item->setText(kExt, latin1(row.extension));
    item->setText(kSize, latin1(row.size));
    item->setText(kDate, latin1(row.date));
    item->setText(kAttr, latin1(row.attributes));
    item->setText(kAttrNum, QString::number(row.attributeNumber));
    item->setTextAlignment(kExt, Qt::AlignCenter);
    item->setTextAlignment(kSize, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(kAttr, Qt::AlignCenter);
    if (name != "..") {
      if (!row.isFolder() && IsSpectrumExtension(row.extension)) {
        item->setIcon(kName, programIcon());
      } else if (row.isFolder()) {
        item->setIcon(kName, folderIcon);
      } else {
        const QString key = latin1(row.extension).toLower();
        auto it = iconCache.find(key);
        if (it == iconCache.end())
          it = iconCache.emplace(key, icons.icon(QFileInfo(latin1(path)))).first;
        item->setIcon(kName, it->second);
      }
    }
    paneBytes_[static_cast<std::size_t>(p)] += row.bytes;
    rows.push_back(item);
  };

  std::vector<FileEntry> entries;
  const Status listed = LocalFiles().ListFolder(folder, entries);
  const int error = listed == kDone ? 0 : LocalFiles().LastError();
  if (listed == kDone) {
    if (folder != "/" && MatchesMask("..", mask)) {
      FileEntry up;
      LocalFiles().Stat(folder + "..", up);
      up.name = "..";
      up.attributes = kAttrFolder;
      addRow(up);
    }
    for (const FileEntry& entry : entries) {
      if (MatchesMask(entry.name, mask)) addRow(entry);
    }
  }
  for (QTreeWidgetItem* row : rows) s.ListView->addTopLevelItem(row);
  s.ListView->setSortingEnabled(sorting);
  QApplication::restoreOverrideCursor();
  if (listed != kDone) return error != 0 ? error : 1;
  sel_[static_cast<std::size_t>(p)].bytes = 0;
  writeStatusLine(p);
  return 0;
}

void FrmDurnix::CmdRef_Click(int p) {
  Pane& s = pane(p);
  for (;;) {
    selecting_ = true;
    s.ListView->clear();
    selecting_ = false;
    sel_[static_cast<std::size_t>(p)].clear();
    if (MakeFileList(p) == 0) break;
    if (prompter().Ask("Disk is not ready !!", StandardButtons::kRetryCancel) != kAnswerRetry) {
      s.ListView->clear();
      return;
    }
  }
  showPath(p);
  setActivePane(p);
  writeStatusLine(p);
  showFreeSpace(p);
}

// The path label shows the end of a long path, where the folder's own name is.
void FrmDurnix::showPath(int p) {
  QLabel* label = pane(p).lblPath;
  const QString path = latin1(nav_.folder(p));
  label->setToolTip(path);
  label->setText(
      label->fontMetrics().elidedText(path, Qt::ElideLeft, std::max(10, label->width() - 8)));
}

void FrmDurnix::writeStatusLine(int p) {
  const Selection& selection = sel_[static_cast<std::size_t>(p)];
  pane(p).lblFile->setText(latin1(StatusLine(
      selection.count(), selection.bytes, pane(p).ListView->topLevelItemCount(),
      paneBytes_[static_cast<std::size_t>(p)], QLocale().groupSeparator().toStdString())));
  pane(p).lblFile->setToolTip(pane(p).lblFile->text());
}

void FrmDurnix::showFreeSpace(int p) {
  unsigned long long freeBytes = 0, totalBytes = 0;
  QLabel* label = pane(p).lblFreeSpace;
  if (FreeSpace(nav_.folder(p), freeBytes, totalBytes)) {
    label->setToolTip(
        latin1(FreeSpaceText(freeBytes, totalBytes, QLocale().groupSeparator().toStdString())));
  } else {
    label->setToolTip("");
  }
  label->setText(label->toolTip());
  if (!loading_) layoutClient();
}

void FrmDurnix::setActivePane(int p) {
  activePane_ = p;
  for (int q = 0; q < 2; ++q) {
    const bool active = q == p;
    QPalette list = pane(q).ListView->palette();
    list.setColor(QPalette::Base,
                  active ? QApplication::palette().color(QPalette::Base) : QColor(176, 176, 176));
    pane(q).ListView->setPalette(list);
    QPalette path = pane(q).lblPath->palette();
    path.setColor(QPalette::Window, active ? QApplication::palette().color(QPalette::Highlight)
                                           : QColor(128, 128, 128));
    path.setColor(QPalette::WindowText, Qt::white);
    pane(q).lblPath->setPalette(path);
  }
}

void FrmDurnix::selectionChanged(int p) {
  if (selecting_ || loading_) return;
  setActivePane(p);
  Selection& selection = sel_[static_cast<std::size_t>(p)];
  selection.clear();
  QTreeWidget* list = pane(p).ListView;
  const QString grouping = QLocale().groupSeparator();
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = list->topLevelItem(i);
    if (!item->isSelected()) continue;
    const int attributes = item->text(kAttrNum).toInt();
    QString size = item->text(kSize);
    size.remove(grouping);
    const long long bytes = size == "DIR" ? 0 : size.toLongLong();
    FileRow row;
    row.text = bytesOf(item->text(kName));
    row.extension = bytesOf(item->text(kExt));
    selection.add(row.fileName(), attributes, bytes);
  }
  writeStatusLine(p);
}

void FrmDurnix::CmdSel_Click(int p) {
  setActivePane(p);
  Selection& selection = sel_[static_cast<std::size_t>(p)];
  selection.clear();
  QTreeWidget* list = pane(p).ListView;
  selecting_ = true;
  for (int i = 0; i < list->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = list->topLevelItem(i);
    const int attributes = item->text(kAttrNum).toInt();
    const bool folder = IsFolderEntry(attributes);
    item->setSelected(!folder);
    if (folder) continue;
    FileRow row;
    row.text = bytesOf(item->text(kName));
    row.extension = bytesOf(item->text(kExt));
    FileEntry entry;
    const std::string path = nav_.folder(p) + row.fileName();
    selection.add(row.fileName(), attributes,
                  LocalFiles().Stat(path, entry) == kDone ? entry.bytes : 0);
  }
  selecting_ = false;
  list->setFocus();
  writeStatusLine(p);
}

void FrmDurnix::activate(int p) {
  const Selection& selection = sel_[static_cast<std::size_t>(p)];
  if (selection.count() == 0) return;
  openEntry(p, selection.names.front(), selection.attributes.front());
}

void FrmDurnix::openEntry(int p, const std::string& name, int attributes) {
  switch (ActivationOf(name, attributes)) {
    case Activation::kUp:
      cmdUp_Click(p);
      break;
    case Activation::kEnterFolder:
      nav_.enter(p, name);
      CmdRef_Click(p);
      break;
    case Activation::kViewSpectrum:
      break;  // the viewer comes with a later part of the program
    case Activation::kOpenWithDesktop:
      QDesktopServices::openUrl(QUrl::fromLocalFile(latin1(nav_.folder(p) + name)));
      break;
    case Activation::kNothing:
      break;
  }
}

void FrmDurnix::cmdUp_Click(int p) {
  if (nav_.up(p)) CmdRef_Click(p);
}

void FrmDurnix::cmdRoot_Click(int p) {
  nav_.root(p);
  CmdRef_Click(p);
}

void FrmDurnix::DriveList_Click(int p, int place) {
  if (loading_) return;
  pane(p).ListView->clear();
  nav_.changePlace(p, place);
  pane(p).DriveList->setCurrentIndex(place);
  showPath(p);
  CmdRef_Click(p);
}

bool FrmDurnix::eventFilter(QObject* watched, QEvent* event) {
  for (int p = 0; p < 2; ++p) {
    if (watched == pane(p).ListView) {
      if (event->type() == QEvent::FocusIn && !loading_) setActivePane(p);
      if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
          activate(p);
          return true;
        }
      }
    }
    if (watched == pane(p).lblPath && event->type() == QEvent::MouseButtonPress) {
      pane(p).ListView->setFocus(Qt::MouseFocusReason);
      setActivePane(p);
    }
  }
  return QMainWindow::eventFilter(watched, event);
}

// ---- Commands --------------------------------------------------------------------------------

void FrmDurnix::mnuConv_Click() {
  runConversion();
}

void FrmDurnix::runConversion() {
  ConversionRequest request;
  const Selection& selection = sel_[0];
  for (int i = 0; i < selection.count(); ++i) {
    request.add(selection.names[static_cast<std::size_t>(i)],
                selection.attributes[static_cast<std::size_t>(i)]);
  }
  request.sourceFolder = nav_.folder(0);
  request.destinationFolder = nav_.folder(1);
  request.sourceFormat = bytesOf(pane(0).CombForm->currentText());
  request.destinationFormat = bytesOf(pane(1).CombForm->currentText());
  request.stampMode = prefs_.StampMode;
  request.stampConfirm = prefs_.StampConfirm;
  RunHost host(*this);
  RunConversion(request, LocalFiles(), prefs_.Stamp, arming_, prompter(), host);
}

FrmRump* FrmDurnix::rumpEditor() {
  if (frmRump_ == nullptr) {
    frmRump_ = new FrmRump(this);
    frmRump_->onClosed = [this] { activateWindow(); };
  }
  return frmRump_;
}

void FrmDurnix::mnuRumpEdit_Click() {
  FrmRump* editor = rumpEditor();
  if (editor->isVisible() && editor->editingStamp()) {
    prompter().Ask("You are editing Stamp data, now !!", StandardButtons::kOk);
    return;
  }
  const Selection& selection = sel_[static_cast<std::size_t>(activePane_)];
  if (selection.count() == 0) {
    prompter().Ask("No file is selected !!", StandardButtons::kOk);
    return;
  }
  const std::string path = nav_.folder(activePane_) + selection.names.front();
  SpectrumRecord record;
  HeaderKind kind = HeaderKind::kRump;
  if (ReadHeaderFile(path, record, kind) != kDone) {
    prompter().Ask(UpperAscii(path) + " is not RUMP or SENRAS file !!", StandardButtons::kOk);
    return;
  }
  editor->editFile(path, kind, record);
  editor->show();
  editor->raise();
}

void FrmDurnix::mnuStamp_Click() {
  FrmRump* editor = rumpEditor();
  if (editor->isVisible() && editor->editingFile()) {
    prompter().Ask("You are editing a Rump spectrum, now !!", StandardButtons::kOk);
    return;
  }
  editor->editStamp(&prefs_.Stamp);
  editor->show();
  editor->raise();
}

FrmAxisConv* FrmDurnix::axisDialog() {
  if (frmAxisConv_ == nullptr) {
    frmAxisConv_ = new FrmAxisConv(this);
    frmAxisConv_->onPeriodicTable = [this] { mnuPTable_Click(); };
    frmAxisConv_->onCancel = [this] {
      arming_.disarm();
      client_->setEnabled(true);
      menuBar()->setEnabled(true);
      activateWindow();
    };
    frmAxisConv_->onGoOn = [this] {
      client_->setEnabled(true);
      menuBar()->setEnabled(true);
      activateWindow();
      arming_.axis = frmAxisConv_->parameters();
      runConversion();
    };
  }
  return frmAxisConv_;
}

void FrmDurnix::armAxis(bool timeToEnergy) {
  if (sel_[0].count() == 0) {
    prompter().Ask(kNoFilesSelected, StandardButtons::kOk);
    return;
  }
  FrmAxisConv* dialog = axisDialog();
  dialog->prepare(timeToEnergy, prefs_.AxisConvFactor, prefs_.AxisOffset, prefs_.AxisTofLength);
  client_->setEnabled(false);
  menuBar()->setEnabled(false);
  arming_.timeToEnergy = timeToEnergy;
  arming_.energyToTime = !timeToEnergy;
  dialog->show();
  dialog->raise();
}

void FrmDurnix::mnuPTable_Click() {
  if (frmPTable_ != nullptr) {
    frmPTable_->show();
    frmPTable_->raise();
    return;
  }
  std::string problem;
  const QString path = QDir(startup_.programFolder).filePath(ElementDatabase::kFileName);
  frmPTable_ = FrmPTable::Open(this, path.toStdString(), problem);
  if (frmPTable_ == nullptr) {
    prompter().Ask(problem, StandardButtons::kOk);
    return;
  }
  frmPTable_->show();
}

void FrmDurnix::mnuT2E_Click() {
  armAxis(true);
}
void FrmDurnix::mnuE2T_Click() {
  armAxis(false);
}

FrmSetup* FrmDurnix::setupDialog() {
  if (frmSetup_ == nullptr) {
    frmSetup_ = new FrmSetup(this);
    frmSetup_->onOk = [this](const SetupValues& v) {
      pane(0).CombForm->setCurrentText(latin1(v.sourceFormat));
      pane(1).CombForm->setCurrentText(latin1(v.destinationFormat));
      prefs_.AxisConvFactor = v.convFactor;
      prefs_.AxisOffset = v.offset;
      prefs_.AxisTofLength = v.tofLength;
    };
    frmSetup_->onClosed = [this] {
      client_->setEnabled(true);
      menuBar()->setEnabled(true);
      activateWindow();
    };
  }
  return frmSetup_;
}

void FrmDurnix::mnuPathForm_Click() {
  FrmSetup* dialog = setupDialog();
  dialog->prepare({bytesOf(pane(0).CombForm->currentText()),
                   bytesOf(pane(1).CombForm->currentText()), prefs_.AxisConvFactor,
                   prefs_.AxisOffset, prefs_.AxisTofLength});
  client_->setEnabled(false);
  menuBar()->setEnabled(false);
  dialog->show();
  dialog->raise();
}

void FrmDurnix::setStampMode(bool on) {
  prefs_.StampMode = on;
  tick("mnuStampVal", on ? 2 : 1);
  showStampIndicator();
}

void FrmDurnix::setStampConfirm(bool on) {
  prefs_.StampConfirm = on;
  tick("mnuConfirmVal", on ? 2 : 1);
}

void FrmDurnix::showStampIndicator() {
  picStampOn_->setVisible(prefs_.StampMode);
  picStampOff_->setVisible(!prefs_.StampMode);
}

void FrmDurnix::setMask(int p, int item) {
  const std::string mask(Format(static_cast<FormatCode>(item - 1)).mask);
  (p == 0 ? prefs_.SourceMask : prefs_.DestinationMask) = mask;
  tick(p == 0 ? "mnuSMask" : "mnuDMask", item);
  CmdRef_Click(p);
}

void FrmDurnix::loadConfig(const QString& path) {
  Preferences loaded = prefs_;
  if (!LoadConfig(path.toStdString(), loaded, prompter(), *startup_.folderPicker)) return;
  prefs_ = loaded;
  applyPreferences();
  applyWindowSize();
  CmdRef_Click(1);
  CmdRef_Click(0);
}

Status FrmDurnix::saveConfig(const QString& path) {
  Preferences p = prefs_;
  p.SourceFolder = nav_.folder(0);
  p.DestinationFolder = nav_.folder(1);
  p.SourceFormat = bytesOf(pane(0).CombForm->currentText());
  p.DestinationFormat = bytesOf(pane(1).CombForm->currentText());
  p.WindowWidth = static_cast<std::int32_t>(std::lround(PixelsToTwips(width()))) + kFrameWidth;
  p.WindowHeight = static_cast<std::int32_t>(std::lround(PixelsToTwips(height()))) + kFrameHeight;
  return SaveConfig(p, path.toStdString());
}

void FrmDurnix::closeEvent(QCloseEvent* event) {
  HelpViewer::Quit();
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window != this && window->isVisible()) window->close();
  }
  SwitchScrollLockOff();
  event->accept();
}

}  // namespace durnix
