// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// FrmView: the viewer window. It shows one spectrum as a dot plot with its readouts; the user
// zooms, changes the scale, marks a region of interest, adds, subtracts or compares a second
// spectrum, shrinks it and saves it. Each window owns a copy of its spectrum.

#include <QMainWindow>
#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "convert/prompter.h"
#include "formats/file_system.h"
#include "viewer/plot.h"
#include "viewer/region.h"
#include "viewer/view_settings.h"
#include "viewer/viewer_document.h"

class QAction;
class QDockWidget;
class QLabel;
class QLineEdit;
class QMenu;
class QPainter;
class QProgressBar;
class QPushButton;
template <class T>
class QFutureWatcher;

namespace durnix {

class AnalysisPanel;
class ElementDatabase;
class PlotPicture;
class ViewerDialogs;
struct Resolution;

// What a new viewer starts with (the public variables the View Spectrum command sets).
struct ViewerStart {
  std::string FileName;  // the file's name as the list shows it
  std::string FileType;  // the display name of its format ("RUMP (RBS)")
  std::vector<std::int32_t> counts;
  int DefLow = 1;  // the preferences' default Low limit and Range entries (1..18)
  int DefRan = 11;
  float DotRad = 1;
  std::int32_t DotCol = 0;
  std::string MyCaption;
  std::string folder;  // where the file is; the file dialogs start there
  std::string specId, date, time, realTime, liveTime;
  float calGain = 0;
  float calOffset = 0;
  // The RUMP header of an RBS or SEN file (its beam and geometry place surface edges).
  std::optional<SpectrumRecord> rumpHeader;
  std::string elementDatabase;  // Durnix.mdb, for the X-ray lines and the masses
};

class FrmView : public QMainWindow {
  Q_OBJECT

 public:
  FrmView(ViewerStart start, FileSystem& files, Prompter& prompter, ViewerDialogs& dialogs);
  ~FrmView() override;

  // State, for the window's own commands and for tests: the document it presents, and what
  // its last drawing showed.
  const ViewerDocument& document() const { return doc_; }
  const std::vector<std::int32_t>& ViewCounts() const { return doc_.ViewCounts(); }
  int ChNum() const { return doc_.ChNum(); }
  const ViewSettings& settings() const { return doc_.settings(); }
  const PlotWindow& shown() const { return shown_; }
  const PlotArea& area() const { return area_; }
  const RegionOfInterest& region() const { return doc_.activeRegion(); }
  bool CompareOn() const { return doc_.CompareOn(); }
  const std::vector<std::int32_t>& SecondCounts() const { return doc_.SecondCounts(); }
  const std::string& MyCaption() const { return start_.MyCaption; }
  PlotPicture* picture() const { return PicSpec_; }
  // The rendered axis labels and plot, as "Export picture..." writes them.
  QImage renderPicture() const;
  bool writePicture(const QString& path) const;
  // The region's results as one tab-separated line (file, From, To, gross, net).
  QString regionLine() const;

  // ---- Regions and markers ------------------------------------------------------------------
  // The panel of the regions' table and the markers, docked beside the plot.
  AnalysisPanel* analysisPanel() const { return analysis_; }
  QDockWidget* analysisDock() const { return dockAnalysis_; }
  // The colour of further region `index` (the window's own region has the dots' colour).
  static std::int32_t RegionColour(std::size_t index);
  // Marks the X-ray lines of the elements named (blank-separated symbols), in place of those
  // marked before; empty: none. Refusals are told in a message box.
  void markLines(const QString& elements);
  // Adds one element to those whose lines are marked (the periodic table's "Mark in viewer").
  void markElement(const QString& symbol);
  // Marks the surface edges of the elements or isotopes named.
  void markEdges(const QString& elements);
  void addFurtherRegion(int from, int to);
  void deleteRegionRows(const std::vector<int>& rows);
  void editRegionRow(int row, const QString& from, const QString& to);
  QString regionTableText(char separator) const;
  void mnuRegionCopy_Click();
  void mnuRegionExport_Click();

  // Commands of the menus.
  void DrawSpectrum();
  void mnuVer_Click(int entry);
  void mnuL_Click(int entry);
  void mnuRan_Click(int entry);
  void mnuZoom_Click();
  void mnuDS_Click(int entry);
  void mnuDC_Click(int entry);
  void mnuAdd_Click();
  void mnuSubtract_Click();
  void mnuCompare_Click();
  void mnuShAdd_Click();
  void mnuShConst_Click();
  void mnuShLin_Click();
  void mnuShSQR_Click();
  void mnuSave_Click();
  void mnuExport_Click();
  void mnuCopy_Click();
  void mnuHelp_Click();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 signals:
  void closed();
  // A shrink's new counts were computed on the worker and taken over (or refused).
  void shrinkFinished();
  // The window became the active one (the periodic table marks in the viewer last active).
  void activated();

 private:
  void buildControls();
  void buildMenus();
  void buildAnalysis();
  void showAnalysis();
  void fitAnalysis(bool visible);
  void refreshRegionTable();
  const ElementDatabase* elements();
  void drawFurtherRegions();
  // The further regions and the one being dragged with Ctrl, as fills under their counts, and
  // the markers with their labels, in the picture's pixels (`picture` its frame in the
  // painter's coordinates).
  void paintFurtherRegions(QPainter& painter, const QRect& picture) const;
  void paintMarkers(QPainter& painter, const QRect& picture) const;
  double pixelOfChannel(double channel) const;
  void layoutControls();
  void placeAxisLabels();
  void paintTicks(QWidget* surface);
  void drawTicks(QPainter& painter) const;
  int channelAt(float x) const;
  // The picture width of one channel of the last drawing, in twips.
  float channelWidth() const {
    return shown_.ShownRange > 0 ? area_.PlotWidth / static_cast<float>(shown_.ShownRange) : 0;
  }
  void showReadout(int channel);
  void refreshReadout();
  void perform(const RegionUpdate& update);
  void performSteps(const std::vector<RegionStep>& steps);
  void showAreas(bool shown, const RegionAreas& areas);
  void redrawDots(int from, int to);
  std::vector<PlotPoint> pointsOf(const std::vector<std::int32_t>& counts, int from, int to) const;
  void zoomToRegion();
  void checkMenus();
  void enableCommands();
  void setBusyPointer(bool busy);
  QString ConvFactorText() const;
  QString ConvOffsetText() const;
  QRect pictureFrame() const;
  void paintPicture(QPainter& painter, QPoint origin) const;
  void showZoom();

  void onPress(float x, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void onMove(float x, Qt::MouseButtons buttons);
  void onRelease(float x, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
  void onKey(int key, Qt::KeyboardModifiers modifiers);
  void showPopUp();

  bool fieldKey(QLineEdit* field, int key);
  void fieldLeft(QLineEdit* field);
  void txtChannelDone();
  void txtFromDone();
  void txtToDone();
  void txtConvDone(bool enter);
  void txtOffsetDone(bool enter);
  void txtMultiplDone();

  bool refuseShrink();
  void askResolution(int kind);
  void shrinkWith(const Resolution* resolution);
  void shrinkDone();
  void stopShrink();
  void combine(Combination kind);

  ViewerStart start_;
  FileSystem& files_;
  Prompter& prompter_;
  ViewerDialogs& dialogs_;

  ViewerDocument doc_;
  // The shrink computed on a worker: its result, a stop asked for when the window closes.
  struct ShrinkOutcome {
    ShrinkResult result = ShrinkResult::kUnchanged;
    std::vector<std::int32_t> counts;
  };
  QFutureWatcher<ShrinkOutcome>* shrinkWatcher_ = nullptr;
  std::atomic<bool> stopShrink_{false};
  float DotRad_ = 1;
  std::int32_t DotCol_ = 0;
  int colourEntry_ = 0;
  PlotWindow shown_;
  PlotArea area_;
  std::int32_t BackColour_ = 0xC0C0C0;
  bool energiesShown_ = false;
  bool readoutShown_ = false;
  float readoutX_ = 0;  // where the pointer was for the readout (twips); NaN: a typed channel
  bool helpOpened_ = false;
  int furtherStart_ = -1;  // where a Ctrl drag began, -1: none
  std::optional<ViewerDocument::Span> pendingFurther_;
  std::unique_ptr<ElementDatabase> elements_;
  bool elementsOpened_ = false;
  QDockWidget* dockAnalysis_ = nullptr;
  AnalysisPanel* analysis_ = nullptr;
  QAction* mnuAnalysis_ = nullptr;
  int widenedBy_ = 0;  // what the window grew by for the docked panel
  // What the regions' table shows.
  std::vector<std::vector<std::string>> shownRows_;
  std::vector<std::string> shownHeader_;
  int shownOwn_ = -1;

  QWidget* client_ = nullptr;
  PlotPicture* PicSpec_ = nullptr;
  QLabel* lblID_ = nullptr;
  QLabel* lblDate_ = nullptr;
  QLabel* lblTime_ = nullptr;
  QLabel* lblRealTime_ = nullptr;
  QLabel* lblLiveTime_ = nullptr;
  QLabel* lblEnergy_ = nullptr;
  QLabel* lblHeight_ = nullptr;
  QLabel* lblGross1_ = nullptr;
  QLabel* lblNet1_ = nullptr;
  std::array<QLabel*, 6> lblX_{};
  std::array<QLabel*, 6> lblE_{};
  std::array<QLabel*, 6> lblY_{};
  std::vector<QLabel*> captions_;
  QLineEdit* txtChannel_ = nullptr;
  QLineEdit* txtConv_ = nullptr;
  QLineEdit* txtOffset_ = nullptr;
  QLineEdit* txtFrom_ = nullptr;
  QLineEdit* txtTo_ = nullptr;
  QLineEdit* txtMultipl_ = nullptr;
  QProgressBar* PGBar1_ = nullptr;
  QPushButton* cmdScrollUp_ = nullptr;
  QPushButton* cmdScrollDn_ = nullptr;

  QLineEdit* enterField_ = nullptr;  // the field whose Enter or Esc is being handled

  std::vector<QAction*> mnuCombine_;  // Compare, Subtract, Add
  QMenu* mnuShrink_ = nullptr;
  QAction* mnuSave_ = nullptr;
  QAction* mnuCopy_ = nullptr;
  QAction* mnuZoom_ = nullptr;
  QAction* popUpZoom_ = nullptr;
  QAction* popUpScroll_ = nullptr;
  QMenu* mnuPopUp_ = nullptr;
  std::array<QAction*, 34> mnuVer_{};
  std::array<QAction*, 19> mnuL_{};
  std::array<QAction*, 19> mnuRan_{};
  std::array<QAction*, 10> mnuDS_{};
  std::array<QAction*, 7> mnuDC_{};
};

}  // namespace durnix
