// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/forms/frm_my_msg_box.h"

#include "forms_support.h"

using namespace durnix;

class FrmMyMsgBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void setsShowTheirButtonsInRows() {
    FrmMyMsgBox two(nullptr, kSetOverwriteMany);
    for (int i = 1; i <= 7; ++i) QVERIFY(!two.button(i)->isHidden());
    QCOMPARE(two.button(7)->text(), QString("Cancel"));
    QVERIFY(std::abs(two.button(7)->width() - two.button(1)->width() * 4215 / 1335) <= 1);
    QVERIFY(two.button(7)->y() > two.button(4)->y());

    FrmMyMsgBox four(nullptr, kSetDeleteMany);
    QCOMPARE(four.button(4)->text(), QString("Skip All"));
    QCOMPARE(four.button(5)->text(), QString("Cancel"));
    QCOMPARE(four.button(4)->x(), four.button(1)->x());  // second row, left and middle
    QVERIFY(four.button(6)->isHidden());
    QVERIFY(four.button(7)->isHidden());

    FrmMyMsgBox five(nullptr, kSetYesNoLast);
    QVERIFY(five.button(3)->isHidden());
    // One row, two rows, three rows: the height cuts off what the set does not fill.
    QVERIFY(five.height() < four.height());
    QVERIFY(four.height() < two.height());
    QVERIFY(five.height() < five.button(4)->y() + five.button(4)->height());
  }

  void answersByCaptionCancelWhenClosedAndEnterPressesTheFocusedButton() {
    QTimer::singleShot(0, [] {
      auto* box = qobject_cast<FrmMyMsgBox*>(QApplication::activeModalWidget());
      QVERIFY(box != nullptr);
      box->button(2)->click();  // "Yes All"
    });
    QCOMPARE(MyMSGBox(nullptr, "Are stamp data OK ?", kSetYesNoMany, "Durnix"),
             static_cast<int>(kAnswerYesAll));
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    QCOMPARE(MyMSGBox(nullptr, "Overwrite ?", kSetOverwriteLast, "Durnix"),
             static_cast<int>(kAnswerCancel));
    // Enter presses the focused button; Escape does nothing.
    FrmMyMsgBox box(nullptr, kSetOverwriteMany);
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QCOMPARE(box.focusWidget(), static_cast<QWidget*>(box.button(1)));
    QTest::keyClick(&box, Qt::Key_Escape);
    QVERIFY(box.isVisible());
    box.button(3)->setFocus();
    QTest::keyClick(&box, Qt::Key_Return);
    QCOMPARE(box.returnCode(), static_cast<int>(kAnswerSkip));
  }
};

QTEST_MAIN(FrmMyMsgBoxTest)
#include "frm_my_msg_box_test.moc"
