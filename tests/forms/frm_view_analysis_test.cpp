// SPDX-License-Identifier: GPL-3.0-or-later
// The viewer's regions and markers as a user works them: further regions dragged with Ctrl and
// drawn in their colours, the table edited, deleted from, copied and exported, X-ray lines and
// surface edges marked (and refused where the spectrum cannot place them), in the window and in
// the exported pictures; the periodic table's "Mark in viewer".

#include <cmath>

#include "convert/forms/frm_rump.h"
#include "elements/forms/frm_ptable.h"
#include "forms_support.h"
#include "platform/twips.h"
#include "viewer/forms/analysis_panel.h"
#include "viewer/forms/frm_view.h"
#include "viewer/forms/plot_widget.h"
#include "viewer/forms/viewer_windows.h"
#include "viewer/region_table.h"

using namespace durnix;

namespace {

// A Gaussian peak (sigma 5) at channel 100 on a background of 10, 1024 channels; with a beam,
// 2 MeV 4He scattered to 170 degrees (IBM).
void WritePeak(const QString& path, FormatCode format, float gain, bool beam) {
  SpectrumRecord record;
  for (int i = 0; i < 1024; ++i) {
    const double x = (i - 100) / 5.0;
    record.Counts.push_back(10 +
                            static_cast<std::int32_t>(std::lround(1000 * std::exp(-x * x / 2))));
  }
  record.ChannelCount = 1024;
  record.CalGain = gain;
  record.BeamMeV = beam ? 2 : 0;
  record.Mass = beam ? 4.0026f : 0;
  record.Geometry = beam ? 1 : 0;
  record.Phi = beam ? 170 : 0;
  Bytes bytes;
  QCOMPARE(Format(format).encode(record, bytes), kDone);
  QVERIFY(test::WriteAll(path, QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()))));
}

class TableDialogs : public test::ScriptedDialogs {
 public:
  QString table;  // the CSV file Export chooses; empty: Cancel
  QString exportTable(QWidget*, const QString&) override { return table; }
};

}  // namespace

class FrmViewAnalysisTest : public QObject {
  Q_OBJECT

 private:
  QTemporaryDir dir_;
  test::AnswerScript answers_;
  TableDialogs dialogs_;
  std::unique_ptr<ViewerWindows> viewers_;

  // Writes the peak as `name` and opens it in a viewer, shown.
  FrmView* open(const QString& name, FormatCode format, float gain, bool beam) {
    WritePeak(dir_.filePath(name), format, gain, beam);
    const std::string folder = PathBytes(dir_.path()) + "/";
    viewers_->ViewSpectrum(folder, {PathBytes(name)}, {32}, Preferences(), "AUTO detection");
    FrmView* view = viewers_->viewer(viewers_->ViewerNumber());
    if (view == nullptr) qFatal("not opened: %s", answers_.report().c_str());
    view->show();
    if (!QTest::qWaitForWindowExposed(view)) qFatal("not shown");
    return view;
  }
  static QPoint pixelOf(FrmView* view, int channel, int y = 40) {
    const PlotPoint p = ChannelToPoint(view->shown(), view->area(), channel, 0);
    return QPoint(static_cast<int>(std::lround(p.x * LogicalDpi() / 1440.0)), y);
  }
  // Ctrl and drag over the plot from one channel to another.
  static void ctrlDrag(FrmView* view, int from, int to) {
    QWidget* plot = view->picture();
    QTest::mousePress(plot, Qt::LeftButton, Qt::ControlModifier, pixelOf(view, from));
    QMouseEvent move(QEvent::MouseMove, pixelOf(view, to), plot->mapToGlobal(pixelOf(view, to)),
                     Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
    QApplication::sendEvent(plot, &move);
    QTest::mouseRelease(plot, Qt::LeftButton, Qt::ControlModifier, pixelOf(view, to));
  }
  static int channelUnder(FrmView* view, int channel) {
    return PointToChannel(view->shown(), view->area(),
                          static_cast<float>(pixelOf(view, channel).x() * 1440.0 / LogicalDpi()));
  }
  // The plot's colour `up` pixels above its foot, over `channel`.
  static QColor pixel(FrmView* view, int channel, int up) {
    return view->picture()->image().pixelColor(
        pixelOf(view, channel, view->picture()->height() - up));
  }
  // Whether a pixel of `colour` is over channel `channel` (give or take `dx` pixels to its right
  // and left) from `lowest` to `highest` pixels above the plot's foot.
  static bool drawn(FrmView* view, int channel, const QColor& colour, int dx, int lowest,
                    int highest) {
    for (int x = -dx; x <= dx; ++x) {
      for (int up = lowest; up <= highest; ++up) {
        const QPoint p = pixelOf(view, channel, view->picture()->height() - up) + QPoint(x, 0);
        if (view->picture()->image().pixelColor(p) == colour) return true;
      }
    }
    return false;
  }
  static bool marked(FrmView* view, const std::string& label) {
    const auto& markers = view->document().Markers();
    return std::any_of(markers.begin(), markers.end(),
                       [&](const auto& marker) { return marker.label == label; });
  }

 private slots:
  void init() {
    QVERIFY(dir_.isValid());
    answers_ = test::AnswerScript();
    dialogs_ = TableDialogs();
    viewers_ = std::make_unique<ViewerWindows>(LocalFiles(), answers_, dialogs_);
    viewers_->setElementDatabase(DURNIX_ELEMENT_DB);
  }
  void cleanup() {
    viewers_.reset();
    DURNIX_VERIFY_ANSWERS(answers_);
  }

  void furtherRegionsAreDrawnListedEditedAndDeleted() {
    FrmView* view = open("peak.rbs", FMT_RBS, 2.0f, true);
    QVERIFY(!view->analysisDock()->isVisible());
    const int width = view->width();

    ctrlDrag(view, 130, 70);  // right to left
    const ViewerDocument::Span dragged{channelUnder(view, 70), channelUnder(view, 130)};
    QVERIFY(std::abs(dragged.from - 70) <= 1 && std::abs(dragged.to - 130) <= 1);
    QCOMPARE(view->document().FurtherRegions(), std::vector<ViewerDocument::Span>{dragged});
    QVERIFY(!view->region().RoiSet());  // the window's own region is left as it was
    QTRY_VERIFY(view->analysisDock()->isVisible());
    QTRY_VERIFY(view->width() > width);  // widened for the panel, the plot kept
    // Drawn in the first region colour below the counts, over the whole height near the peak.
    QCOMPARE(pixel(view, 100, 30), ColourOf(FrmView::RegionColour(0)));
    QTableWidget* table = view->analysisPanel()->table();
    QCOMPARE(table->rowCount(), 1);
    QCOMPARE(table->item(0, 0)->text(), QString::number(dragged.from));
    QCOMPARE(table->item(0, 4)->text(), QString("100.00"));
    QCOMPARE(table->horizontalHeaderItem(7)->text(), QString("FWHM (keV)"));

    // A Ctrl click marks nothing; the window's own region comes first in the table, not editable,
    // and is drawn with the further one, in the dots' colour.
    ctrlDrag(view, 300, 300);
    QCOMPARE(view->document().FurtherRegions().size(), 1u);
    QTest::mousePress(view->picture(), Qt::LeftButton, {}, pixelOf(view, 200));
    QTest::mouseRelease(view->picture(), Qt::LeftButton, {}, pixelOf(view, 250));
    QCOMPARE(pixel(view, 225, 1), QColor(0, 0, 0));
    QCOMPARE(table->rowCount(), 2);
    QCOMPARE(table->item(0, 0)->text(), QString::number(view->region().RoiFrom()));
    QVERIFY(!(table->item(0, 0)->flags() & Qt::ItemIsEditable));
    QVERIFY(table->item(1, 1)->flags() & Qt::ItemIsEditable);

    // Editing To of the further region moves it; a word is refused and the cell shows it again.
    table->item(1, 1)->setText("140");
    QTRY_COMPARE(view->document().FurtherRegions()[0], (ViewerDocument::Span{dragged.from, 140}));
    const QString gross = table->item(1, 2)->text();
    QTRY_VERIFY(table->item(1, 2)->text() != gross);  // the figures of the new region
    answers_.expect(
        "From and To are channel numbers: " + std::to_string(dragged.from) + " and ten are not.",
        StandardButtons::kOk, kAnswerOk);
    table->item(1, 1)->setText("ten");
    QTRY_COMPARE(table->item(1, 1)->text(), QString("140"));
    QCOMPARE(view->document().FurtherRegions()[0], (ViewerDocument::Span{dragged.from, 140}));

    // Copy and Export give the table as the core writes it; Export goes through the file system.
    table->setFocus();
    QTest::keyClick(table, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             QString::fromStdString(RegionTableText(view->document(), '\t')));
    auto* exportButton = view->findChild<QPushButton*>("cmdRegionExport");
    dialogs_.table = dir_.filePath("regions.csv");
    exportButton->click();
    QCOMPARE(test::ReadAll(dir_.filePath("regions.csv")),
             QByteArray::fromStdString(RegionTableText(view->document(), ',')));
    dialogs_.table = dir_.filePath("none/regions.csv");
    answers_.expect("Disk is not ready or bad media.", StandardButtons::kOk, kAnswerOk);
    exportButton->click();

    // Delete removes the rows selected: the window's own region is cleared as a right click does.
    table->selectRow(0);
    QTest::keyClick(table, Qt::Key_Delete);
    QVERIFY(!view->region().RoiSet());
    QCOMPARE(view->findChild<QLabel*>("lblGross1")->text(), QString("0"));
    QCOMPARE(table->rowCount(), 1);
    table->selectRow(0);
    view->findChild<QPushButton*>("cmdRegionDelete")->click();
    QVERIFY(view->document().FurtherRegions().empty());
    QCOMPARE(table->rowCount(), 0);
    QCOMPARE(pixel(view, 100, 30),
             view->picture()->image().pixelColor(3, view->picture()->height() - 30));

    // Sixteen at most.
    for (int i = 0; i < 16; ++i) ctrlDrag(view, 300 + 20 * i, 310 + 20 * i);
    answers_.expect("A viewer holds at most 16 regions: delete one in the regions' table first.",
                    StandardButtons::kOk, kAnswerOk);
    ctrlDrag(view, 700, 720);
    QCOMPARE(view->document().FurtherRegions().size(), 16u);

    // Closing the panel gives the room back.
    const int wide = view->width();
    view->analysisDock()->close();
    QTRY_VERIFY(view->width() < wide);
  }

  // Refused: lines without a calibration or of a name that is no element, edges where the file
  // holds no beam or no calibration.
  void markersAreRefusedWhereTheSpectrumCannotPlaceThem() {
    answers_.expect(ViewerDocument::kNoCalibrationRefusal, StandardButtons::kOk, kAnswerOk)
        .expect("Qq is not an element.", StandardButtons::kOk, kAnswerOk)
        .expect(
            "Only RBS and SEN spectra hold a beam and a geometry: no surface edge can be "
            "placed on this one.",
            StandardButtons::kOk, kAnswerOk)
        .expect(ViewerDocument::kNoCalibrationRefusal, StandardButtons::kOk, kAnswerOk);
    FrmView* views[] = {open("plain.chn", FMT_CHN, 0, false),
                        open("xrf.chn", FMT_CHN, 0.01f, false),
                        open("cal.chn", FMT_CHN, 2.0f, false), open("nocal.rbs", FMT_RBS, 0, true)};
    views[0]->markLines("Fe");
    views[1]->markLines("Fe Qq");
    views[2]->markEdges("Au");
    views[3]->markEdges("Au");
    for (FrmView* view : views) QVERIFY(view->document().Markers().empty());
  }

  void xrayLinesAreMarked() {
    FrmView* view = open("xrf.chn", FMT_CHN, 0.01f, false);  // 0 to 10.23 keV
    // Typed in the panel: each line within the energies, labelled, strongest first in height.
    view->markLines("fe, cu");
    QCOMPARE(view->analysisPanel()->linesField()->text(), QString("Fe Cu"));
    QVERIFY(marked(view, "Fe Kα1") && marked(view, "Cu Kβ1"));
    // The Fe Kα1 line (6.404 keV, channel 640) is drawn up from the bottom, dashed in black.
    QVERIFY(drawn(view, 640, QColor(0, 0, 0), 1, 16, 40));

    // Only the K family: no L line is left.
    view->findChild<QCheckBox*>("chkL")->setChecked(false);
    view->findChild<QCheckBox*>("chkM")->setChecked(false);
    for (const auto& marker : view->document().Markers()) {
      QVERIFY2(marker.label.find(" K") != std::string::npos, marker.label.c_str());
    }

    // The exported SVG has the markers with their labels (the text runs split where the font
    // changes).
    QVERIFY(view->writePicture(dir_.filePath("markers.svg")));
    const QByteArray svg = test::ReadAll(dir_.filePath("markers.svg"));
    QVERIFY(svg.contains(">Fe K<") && svg.contains(">α1<"));

    // The periodic table's "Mark in viewer" adds its element to those marked in the viewer.
    std::string problem;
    std::unique_ptr<FrmPTable> ptable(FrmPTable::Open(nullptr, DURNIX_ELEMENT_DB, problem));
    QVERIFY2(ptable, problem.c_str());
    QObject::connect(ptable.get(), &FrmPTable::markInViewer, view,
                     [this](const QString& symbol) { viewers_->markInViewer(symbol); });
    QVERIFY(!ptable->findChild<QPushButton*>("cmdMark")->isEnabled());
    ptable->cellClicked(30);  // zinc, held
    ptable->findChild<QPushButton*>("cmdMark")->click();
    QCOMPARE(view->analysisPanel()->linesField()->text(), QString("Fe Cu Zn"));
    QVERIFY(marked(view, "Zn Kα1"));
    // An empty field clears the lines.
    view->markLines("");
    QVERIFY(view->document().Markers().empty());
  }

  void surfaceEdgesFollowTheHeader() {
    FrmView* view = open("beam.rbs", FMT_RBS, 2.0f, true);
    view->markEdges("Au Si-28");
    QCOMPARE(view->document().Markers().size(), 2u);
    const auto& gold = view->document().Markers()[0];
    QCOMPARE(gold.label, std::string("Au"));
    QVERIFY(std::abs(gold.keV - 0.9225 * 2000) < 0.2);
    QVERIFY(view->findChild<QLabel*>("lblMarkNote")->text().contains("Au: K 0.9225"));
    // The gold edge (channel 922) is drawn in red from the bottom up.
    QVERIFY(drawn(view, 922, QColor(170, 0, 0), 2, 20, 20));
  }
};

QTEST_MAIN(FrmViewAnalysisTest)
#include "frm_view_analysis_test.moc"
