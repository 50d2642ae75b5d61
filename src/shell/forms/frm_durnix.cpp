// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/forms/frm_durnix.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QToolBar>
#include <QUrl>

#include "convert/forms/frm_axis_conv.h"
#include "convert/forms/frm_rump.h"
#include "convert/forms/frm_setup.h"
#include "durnix/version.h"
#include "formats/catalogue.h"
#include "formats/paths.h"
#include "formats/text_rules.h"
#include "platform/data_files.h"
#include "platform/help_viewer.h"
#include "platform/keyboard.h"
#include "platform/network_wait.h"
#include "platform/paths.h"
#include "platform/places.h"
#include "platform/qt_prompter.h"
#include "platform/smb_file_system.h"
#include "platform/smb_network.h"
#include "platform/twips.h"
#include "platform/window_sizes.h"
#include "shell/file_operations.h"
#include "shell/forms/conversion_host.h"
#include "shell/forms/file_commands.h"
#include "shell/forms/file_pane.h"
#include "shell/forms/main_layout.h"
#include "shell/forms/window_run.h"
#include "shell/network.h"
#include "viewer/forms/viewer_dialogs.h"
#include "viewer/forms/viewer_windows.h"

namespace durnix {

namespace {

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
    const QString folder = ChooseFolder(parent_, QString::fromLatin1(caption.c_str()));
    if (folder.isEmpty()) return std::nullopt;
    return PathBytes(folder);
  }

 private:
  QWidget* parent_;
};

}  // namespace

FrmDurnix::FrmDurnix(Startup startup)
    : startup_(std::move(startup)),
      nav_(startup_.places.empty() ? MachinePlaces() : startup_.places) {
  setObjectName("FrmDurnix");
  if (startup_.programFolder.isEmpty()) {
    startup_.programFolder = QCoreApplication::applicationDirPath();
  }
  if (startup_.prompter == nullptr) {
    ownPrompter_ = std::make_unique<QtPrompter>(this);
    startup_.prompter = ownPrompter_.get();
  }
  if (startup_.folderPicker == nullptr) {
    ownPicker_ = std::make_unique<QtFolderPicker>(this);
    startup_.folderPicker = ownPicker_.get();
  }
  if (startup_.files == nullptr) startup_.files = &LocalFiles();
  startNetwork();
  loading_ = true;
  QFont font("Arial");
  font.setPointSizeF(8.25);
  setFont(font);

  client_ = new QWidget(this);
  client_->setObjectName("client");
  setCentralWidget(client_);
  commands_ = new CommandTable(this);
  viewers_ = std::make_unique<ViewerWindows>(
      files(), prompter(),
      startup_.viewerDialogs != nullptr ? *startup_.viewerDialogs : PlatformViewerDialogs());
  viewers_->setElementDatabase(PathBytes(ElementDatabasePath(startup_.programFolder)));
  for (int p = 0; p < 2; ++p) {
    panes_[static_cast<std::size_t>(p)] = new FilePane(p, files(), nav_, prompter(), client_);
  }
  for (int p = 0; p < 2; ++p) {
    pane(p).setOther(&pane(1 - p));
    pane(p).setNetwork(startup_.network, startup_.password);
    connect(&pane(p), &FilePane::activated, this, [this](int q) {
      if (!loading_) setActivePane(q);
    });
    connect(&pane(p), &FilePane::entryActivated, this, &FrmDurnix::openEntry);
    connect(&pane(p), &FilePane::filesDropped, this, &FrmDurnix::filesDropped);
    connect(&pane(p), &FilePane::nameEdited, this,
            [this](int q, const std::string& name, const std::string&, const QString& text) {
              renameInList(q, name, text);
            });
    connect(&pane(p), &FilePane::viewRequested, this, [this](int q) {
      setActivePane(q);
      mnuView_Click();
    });
    connect(&pane(p), &FilePane::bottomChanged, this, [this] {
      if (!loading_) layoutClient();
    });
  }
  toolbar_ = new QToolBar(client_);
  toolbar_->setObjectName("Toolbar");
  toolbar_->setIconSize(QSize(16, 16));
  commands_->fillToolbar(toolbar_);
  buildStampIndicator(client_);
  for (Command command :
       {Command::kConvert, Command::kViewSpectrum, Command::kEditText, Command::kEditRump,
        Command::kCopy, Command::kMove, Command::kMakeDir, Command::kDelete, Command::kExit}) {
    QPushButton* button = commands_->makeButton(command, client_);
    buttons_[button->objectName()] = button;
  }
  buildMenus();
  connectCommands();

  // The format lists: every format for the source, those with a writer for the destination.
  for (const FormatInfo& format : FormatCatalogue()) {
    pane(0).CombForm->addItem(QString::fromLatin1(
        format.displayName.data(), static_cast<qsizetype>(format.displayName.size())));
    if (format.writable()) {
      pane(1).CombForm->addItem(QString::fromLatin1(
          format.displayName.data(), static_cast<qsizetype>(format.displayName.size())));
    }
  }

  // durnix.cfg in the program's folder (else the user's), or the defaults when there is none
  // that is valid.
  const std::string config = PathBytes(ConfigPathToRead(startup_.programFolder));
  if (files().Exists(config)) {
    configLoaded_ = LoadConfig(config, prefs_, prompter(), *startup_.folderPicker, files());
  }
  if (!configLoaded_) applyDefaults();
  applyPreferences();
  if (configLoaded_) {
    applyWindowSize();
  } else {
    resize(StartWindowSize(QGuiApplication::primaryScreen()));
  }
  centre();
  setWindowTitle(QString("Durnix v") + kProgramVersion);
  HelpViewer::SetHelpFile(HelpFilePath(startup_.programFolder));

  for (int p : {1, 0}) pane(p).CmdRef_Click();
  loading_ = false;
  for (int p = 0; p < 2; ++p) pane(p).setLoading(false);
  setActivePane(0);
  layoutClient();
}

FrmDurnix::~FrmDurnix() {
  // The panes are destroyed after the window's own file systems, which a listing still being
  // read on a worker uses.
  for (int p = 0; p < 2; ++p) pane(p).waitForListings();
}

Prompter& FrmDurnix::prompter() {
  return *startup_.prompter;
}

const Selection& FrmDurnix::selection(int p) const {
  return pane(p).selection();
}

void FrmDurnix::connectCommands() {
  CommandTable& c = *commands_;
  // No command but Exit while a conversion, copy or move works.
  const auto on = [&](Command command, auto slot) {
    connect(c.action(command), &QAction::triggered, this, [this, command, slot] {
      if (run_ && command != Command::kExit) return;
      if constexpr (std::is_member_function_pointer_v<decltype(slot)>) {
        (this->*slot)();
      } else {
        slot();
      }
    });
  };
  on(Command::kConvert, &FrmDurnix::mnuConv_Click);
  on(Command::kViewSpectrum, &FrmDurnix::mnuView_Click);
  on(Command::kCopy, &FrmDurnix::mnuCopy_Click);
  on(Command::kMove, &FrmDurnix::mnuMove_Click);
  on(Command::kDelete, &FrmDurnix::mnuDelete_Click);
  on(Command::kRename, &FrmDurnix::mnuRename_Click);
  on(Command::kMakeDir, &FrmDurnix::mnuMkDir_Click);
  on(Command::kProperties, &FrmDurnix::mnuProperties_Click);
  on(Command::kEditText, &FrmDurnix::mnuTextEdit_Click);
  on(Command::kConnectNetwork, &FrmDurnix::mnuConnect_Click);
  on(Command::kDisconnectNetwork, &FrmDurnix::mnuDisconnect_Click);
  on(Command::kEditRump, &FrmDurnix::mnuRumpEdit_Click);
  on(Command::kEditStamp, &FrmDurnix::mnuStamp_Click);
  on(Command::kPeriodicTable, &FrmDurnix::mnuPTable_Click);
  on(Command::kTimeToEnergy, &FrmDurnix::mnuT2E_Click);
  on(Command::kEnergyToTime, &FrmDurnix::mnuE2T_Click);
  on(Command::kFormatAndAxis, &FrmDurnix::mnuPathForm_Click);
  on(Command::kExit, &QWidget::close);
  on(Command::kHelpContents, [] { HelpViewer::ShowTopic(1000); });
  on(Command::kHelpLicence, [] { HelpViewer::ShowTopic(1006); });
  on(Command::kHelpVersion, [] { HelpViewer::ShowTopic(1007); });
  on(Command::kLoadDefault, [this] {
    const QString path =
        ChooseOpenFile(this, "Load default", ConfigSaveFolder(startup_.programFolder),
                       "Durnix config file (*.cfg);;All files (*.*)");
    if (!path.isEmpty()) loadConfig(path);
  });
  on(Command::kSaveSetting, [this] {
    const QString path =
        ChooseSaveFile(this, "Save default", ConfigSaveFolder(startup_.programFolder),
                       "Durnix config file (*.cfg)");
    if (path.isEmpty()) return;
    const FileResult status = saveConfig(path);
    if (status != kDone) {
      prompter().Ask(RunMessage(status, PathBytes(path), "", ""), StandardButtons::kOk,
                     {Question::kMessage, SystemErrorText(status.error)});
    }
  });
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

void FrmDurnix::applyDefaults() {
  const Preferences defaults;
  StampData stamp = prefs_.Stamp;
  prefs_ = defaults;
  prefs_.Stamp = stamp;
  // Both panes on the home folder, the first place of the list.
  for (int p = 0; p < 2; ++p) nav_.set(p, nav_.places().front().top);
  prefs_.SourceFolder = nav_.folder(0);
  prefs_.DestinationFolder = nav_.folder(1);
}

void FrmDurnix::applyPreferences() {
  nav_.set(0, prefs_.SourceFolder);
  nav_.set(1, prefs_.DestinationFolder);
  pane(0).setMask(prefs_.SourceMask);
  pane(1).setMask(prefs_.DestinationMask);
  for (int p = 0; p < 2; ++p) pane(p).showPlace();
  tick("mnuSMask", MaskItem(prefs_.SourceMask));
  tick("mnuDMask", MaskItem(prefs_.DestinationMask));
  pane(0).CombForm->setCurrentText(Latin1Text(prefs_.SourceFormat));
  pane(1).CombForm->setCurrentText(Latin1Text(prefs_.DestinationFormat));
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
    const QRect area = screen->availableGeometry();
    const QSize frame = frameGeometry().size().expandedTo(size());
    move(area.x() + std::max(0, (area.width() - frame.width()) / 2),
         area.y() + std::max(0, (area.height() - frame.height()) / 2));
  }
}

void FrmDurnix::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (!loading_ && !isMinimized()) layoutClient();
}

void FrmDurnix::layoutClient() {
  MainWindowWidgets w;
  w.client = client_;
  w.toolbar = toolbar_;
  w.panes = panes_;
  w.stampButton = cmdStampOn_;
  w.stampOn = picStampOn_;
  w.stampOff = picStampOff_;
  w.lblOn = lblOn_;
  w.lblOff = lblOff_;
  w.buttons = &buttons_;
  LayOutMainWindow(w);
}

void FrmDurnix::setCommandsEnabled(bool enabled) {
  client_->setEnabled(enabled);
  menuBar()->setEnabled(enabled);
  if (toolbar_ != nullptr) toolbar_->setEnabled(enabled);
}

bool FrmDurnix::startRun(const QString& progressName, const QString& running,
                         std::function<void(WindowRun&)> work) {
  if (run_) return false;
  run_ = std::make_unique<WindowRun>(*this, progressName, prompter());
  runningText_ = running;
  connect(run_.get(), &WindowRun::finished, this, &FrmDurnix::endRun);
  setCommandsEnabled(false);
  WindowRun& run = *run_;
  run.start([&run, work = std::move(work)] { work(run); });
  return true;
}

void FrmDurnix::endRun() {
  // The run goes once this call has returned: it called here.
  run_.release()->deleteLater();
  MoveMode = false;
  setCommandsEnabled(true);
  emit runFinished();
  if (closeAfterRun_) close();
}

void FrmDurnix::setActivePane(int p) {
  activePane_ = p;
  for (int q = 0; q < 2; ++q) pane(q).setActive(q == p);
}

void FrmDurnix::CmdRef_Click(int p) {
  pane(p).CmdRef_Click();
}
void FrmDurnix::CmdSel_Click(int p) {
  pane(p).CmdSel_Click();
}
void FrmDurnix::cmdUp_Click(int p) {
  pane(p).cmdUp_Click();
}
void FrmDurnix::cmdRoot_Click(int p) {
  pane(p).cmdRoot_Click();
}
void FrmDurnix::DriveList_Click(int p, int place) {
  pane(p).DriveList_Click(place);
}

void FrmDurnix::openEntry(int p, const std::string& name, int attributes) {
  // Spectra open in the viewer; other files with the desktop's program for them, or in the
  // viewer when the desktop has none.
  const Activation activation = ActivationOf(name, attributes);
  if (activation == Activation::kOpenWithDesktop && nav_.kind(p) == PathKind::kLocal &&
      QDesktopServices::openUrl(QUrl::fromLocalFile(PathText(JoinPath(pane(p).folder(), name))))) {
    return;
  }
  if (activation == Activation::kViewSpectrum || activation == Activation::kOpenWithDesktop) {
    viewSpectrum(p, {name}, {attributes});
  }
}

void FrmDurnix::mnuView_Click() {
  const Selection& selection = pane(activePane_).selection();
  viewSpectrum(activePane_, selection.names, selection.attributes);
}

void FrmDurnix::viewSpectrum(int p, const std::vector<std::string>& names,
                             const std::vector<int>& attributes) {
  viewers_->ViewSpectrum(pane(p).folder(), names, attributes, prefs_,
                         Latin1Bytes(pane(0).CombForm->currentText()));
}

// ---- Commands --------------------------------------------------------------------------------

void FrmDurnix::mnuConv_Click() {
  runConversion();
}

void FrmDurnix::runConversion() {
  ConversionRequest request;
  const Selection& selection = pane(0).selection();
  for (int i = 0; i < selection.count(); ++i) {
    request.add(selection.names[static_cast<std::size_t>(i)],
                selection.attributes[static_cast<std::size_t>(i)]);
  }
  request.sourceFolder = pane(0).folder();
  request.destinationFolder = pane(1).folder();
  request.sourceFormat = Latin1Bytes(pane(0).CombForm->currentText());
  request.destinationFormat = Latin1Bytes(pane(1).CombForm->currentText());
  request.stampMode = prefs_.StampMode;
  request.stampConfirm = prefs_.StampConfirm;
  // The stamp data and the armed axis are the run's until it ends: the commands that change
  // them are disabled meanwhile.
  startRun("ConversionProgress", "A conversion is running.",
           [this, request = std::move(request)](WindowRun& run) {
             WindowConversionHost host(*this, pane(0), pane(1), run);
             RunConversion(request, files(), prefs_.Stamp, arming_, run.prompter(), host);
             // The host's last calls to the window are in; it goes on the window's thread.
             run.onWindow([] {});
           });
}

FrmRump* FrmDurnix::rumpEditor() {
  if (frmRump_ == nullptr) {
    frmRump_ = new FrmRump(this);
    frmRump_->setFiles(files());
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
  const Selection& selection = pane(activePane_).selection();
  if (selection.count() == 0) {
    prompter().Ask("No file is selected !!", StandardButtons::kOk);
    return;
  }
  const std::string path = pane(activePane_).folder() + selection.names.front();
  SpectrumRecord record;
  HeaderKind kind = HeaderKind::kRump;
  if (ReadHeaderFile(path, record, kind, files()) != kDone) {
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
  pane(p).setMask(mask);
  tick(p == 0 ? "mnuSMask" : "mnuDMask", item);
  pane(p).CmdRef_Click();
}

void FrmDurnix::loadConfig(const QString& path) {
  Preferences loaded = prefs_;
  if (!LoadConfig(PathBytes(path), loaded, prompter(), *startup_.folderPicker, files())) return;
  prefs_ = loaded;
  applyPreferences();
  applyWindowSize();
  pane(1).CmdRef_Click();
  pane(0).CmdRef_Click();
}

FileResult FrmDurnix::saveConfig(const QString& path) {
  Preferences p = prefs_;
  p.SourceFolder = nav_.folder(0);
  p.DestinationFolder = nav_.folder(1);
  p.SourceFormat = Latin1Bytes(pane(0).CombForm->currentText());
  p.DestinationFormat = Latin1Bytes(pane(1).CombForm->currentText());
  p.WindowWidth = static_cast<std::int32_t>(std::lround(PixelsToTwips(width()))) + kFrameWidth;
  p.WindowHeight = static_cast<std::int32_t>(std::lround(PixelsToTwips(height()))) + kFrameHeight;
  return SaveConfig(p, PathBytes(path), files());
}

void FrmDurnix::closeEvent(QCloseEvent* event) {
  // A run is stopped, after the file in hand, before the window goes.
  if (run_) {
    event->ignore();
    if (closeAfterRun_) return;
    if (prompter().Ask(PathBytes(runningText_) + "\nStop it and quit ?", StandardButtons::kYesNo) ==
            kAnswerYes &&
        run_) {
      closeAfterRun_ = true;
      run_->setQuitting();
    }
    return;
  }
  HelpViewer::Quit();
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window != this && window->isVisible()) window->close();
  }
  SwitchScrollLockOff();
  event->accept();
}

void FrmDurnix::markInViewer(const QString& symbol) {
  viewers_->markInViewer(symbol);
}

}  // namespace durnix
