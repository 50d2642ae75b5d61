// SPDX-License-Identifier: GPL-3.0-or-later
#include "elements/forms/frm_ptable.h"

#include "forms_support.h"

using namespace durnix;

class FrmPTableTest : public QObject {
  Q_OBJECT

 private:
  FrmPTable* open() {
    std::string problem;
    FrmPTable* table = FrmPTable::Open(nullptr, DURNIX_ELEMENT_DB, problem);
    if (table != nullptr) table->show();
    return table;
  }
  static QString text(QWidget* w, const char* name) { return w->findChild<QLabel*>(name)->text(); }

 private slots:
  void cellsStandWhereTheTableHasThemAndThePanelFollowsThePointer() {
    std::unique_ptr<FrmPTable> table(open());
    QVERIFY(table != nullptr);
    QCOMPARE(table->cell(26)->text(), QString("Fe"));
    QCOMPARE(table->cell(110)->text(), QString("110"));
    QCOMPARE(table->cell(111)->text(), QString("111"));
    // Iron: period 4, group 8; helium far right; cerium in the lanthanide row, column 3.
    QCOMPARE(table->cell(26)->x(), table->cell(1)->x() + 7 * (table->cell(2)->x() / 17));
    QVERIFY(table->cell(2)->x() > table->cell(10)->x() - 2);
    QCOMPARE(table->cell(58)->x(), table->cell(57)->x());
    QVERIFY(table->cell(58)->y() > table->cell(88)->y());
    QVERIFY(table->cell(90)->y() > table->cell(58)->y());
    // The panel follows the pointer until an element is held.
    QCOMPARE(text(table.get(), "lblProp5"), QString("Heat Subl.    ="));  // cleared at start
    QCOMPARE(table->cell(26)->cursor().shape(), Qt::WhatsThisCursor);
    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(table->cell(26), &enter);
    QCOMPARE(text(table.get(), "lblSymbol"), QString("Fe"));
    QCOMPARE(text(table.get(), "lblName"), QString("Iron"));
    QVERIFY(text(table.get(), "lblProp5").startsWith("X-ray (Ka1)    = 6.4"));
    table->cellClicked(79);  // hold gold
    QVERIFY(table->held());
    QCoreApplication::sendEvent(table->cell(26), &enter);  // held: the pointer changes nothing
    QCOMPARE(table->cell(26)->cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(text(table.get(), "lblSymbol"), QString("Au"));
    table->cellClicked(79);
    QVERIFY(!table->held());
    QTest::mouseClick(table.get(), Qt::LeftButton, {}, QPoint(2, 2));  // the background clears
    QCOMPARE(text(table.get(), "lblSymbol"), QString());
    QCOMPARE(text(table.get(), "lblProp0"), QString("Nat.Wgt. = "));
  }

  void elementWindowAndXrayTable() {
    std::unique_ptr<FrmPTable> table(open());
    table->cellDoubleClicked(26);
    FrmElement* element = table->elementWindow();
    QVERIFY(element != nullptr && element->isVisible());
    QCOMPARE(element->windowTitle(), QString("Element Data - Fe"));
    QCOMPARE(element->findChild<QTabWidget*>("tabElem")->count(), 6);
    QVERIFY(element->findChild<QTreeWidget*>("lvIsotope")->topLevelItemCount() > 4);
    QVERIFY(element->findChild<QTreeWidget*>("lvXRay")->topLevelItemCount() > 2);
    QVERIFY(element->findChild<QTreeWidget*>("lvIon")->topLevelItemCount() >= 26);

    table->cmdXrayClick();
    // Both windows stand with their frames, title bars included, on the screen.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY(screen.contains(element->frameGeometry().topLeft()));
    QVERIFY(screen.contains(table->xrayTable()->frameGeometry().topLeft()));
    auto* lines = table->xrayTable()->findChild<QTreeWidget*>("lvXTable");
    QCOMPARE(lines->topLevelItemCount(), 1807);
    // Sorted by energy text: numeric order.
    lines->sortByColumn(0, Qt::AscendingOrder);
    double previous = -1;
    for (int i = 0; i < lines->topLevelItemCount(); i += 97) {
      const double energy = lines->topLevelItem(i)->text(0).trimmed().toDouble();
      if (energy < 1000) {
        QVERIFY2(energy >= previous, qPrintable(lines->topLevelItem(i)->text(0)));
        previous = energy;
      }
    }
    lines->sortByColumn(0, Qt::DescendingOrder);
    QVERIFY(lines->topLevelItem(0)->text(0).trimmed().toDouble() >= previous);
    // Closing the table closes the windows it opened.
    table->close();
    QVERIFY(!element->isVisible());
  }
};

QTEST_MAIN(FrmPTableTest)
#include "frm_ptable_test.moc"
