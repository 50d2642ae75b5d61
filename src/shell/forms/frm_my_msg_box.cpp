// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/forms/frm_my_msg_box.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

#include "convert/prompter.h"
#include "platform/paths.h"
#include "platform/twips.h"

namespace durnix {

namespace {

// Positions of the seven buttons as designed (twips): three rows, the last one full width.
constexpr std::array<std::array<int, 4>, 7> kButtonPlaces = {{
    {120, 1000, 1335, 400},
    {1560, 1000, 1335, 400},
    {3000, 1000, 1335, 400},
    {120, 1450, 1335, 400},
    {1560, 1450, 1335, 400},
    {3000, 1450, 1335, 400},
    {120, 1900, 4215, 400},
}};
constexpr int kClientWidth = 4440;
constexpr int kTitleBarHeight = 345;  // of the window's outer height

}  // namespace

FrmMyMsgBox::FrmMyMsgBox(QWidget* parent, int buttonSet)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint) {
  setObjectName("frmMyMSGBox");
  setWindowTitle("Message");
  QFont font("Arial");
  font.setPointSizeF(8.25);
  setFont(font);

  // The design's arrangement, enlarged as a whole when a caption would not fit its button.
  const auto& captions = ButtonSetCaptions(buttonSet);
  double scale = 1.0;
  for (const std::string_view caption : captions) {
    const int needed = fontMetrics().horizontalAdvance(
                           QString::fromLatin1(caption.data(), static_cast<int>(caption.size()))) +
                       Twips(240);
    scale = std::max(scale, needed / static_cast<double>(Twips(1335)));
  }
  const auto place = [scale](double l, double t, double w, double h) {
    return TwipsRect(l * scale, t * scale, w * scale, h * scale);
  };

  lblPrompt_ = new QLabel(this);
  lblPrompt_->setObjectName("lblPrompt");
  lblPrompt_->setWordWrap(true);
  lblPrompt_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblPrompt_->setGeometry(place(120, 240, 4215, 615));

  for (int i = 1; i <= 7; ++i) {
    auto* button = new QPushButton(this);
    button->setObjectName(QString("cmdRet%1").arg(i));
    button->setAutoDefault(false);
    const auto& at = kButtonPlaces[static_cast<std::size_t>(i - 1)];
    button->setGeometry(place(at[0], at[1], at[2], at[3]));
    if (i <= static_cast<int>(captions.size())) {
      const std::string_view caption = captions[static_cast<std::size_t>(i - 1)];
      button->setText(QString::fromLatin1(caption.data(), static_cast<int>(caption.size())));
    } else {
      button->hide();
    }
    connect(button, &QPushButton::clicked, this, [this, i] { cmdRetClick(i); });
    buttons_[static_cast<std::size_t>(i - 1)] = button;
  }
  // The height cuts off the rows the set does not fill.
  setFixedSize(Twips(kClientWidth * scale),
               Twips((ButtonSetWindowHeight(buttonSet) - kTitleBarHeight) * scale));
  if (!captions.empty()) buttons_[0]->setFocus();

  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
  }
}

void FrmMyMsgBox::setPrompt(const QString& prompt) {
  lblPrompt_->setText(prompt);
}

void FrmMyMsgBox::cmdRetClick(int index) {
  returnCode_ =
      AnswerOfCaption(buttons_[static_cast<std::size_t>(index - 1)]->text().toStdString());
  done(returnCode_);
}

void FrmMyMsgBox::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:  // no button is the cancel button
      event->accept();
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (auto* button = qobject_cast<QPushButton*>(focusWidget())) button->click();
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

void FrmMyMsgBox::closeEvent(QCloseEvent* event) {
  event->accept();
  if (returnCode_ == 0) done(0);
}

int MyMSGBox(QWidget* parent, const std::string& prompt, int buttonSet, const std::string& title) {
  FrmMyMsgBox box(parent, buttonSet);
  box.setWindowTitle(QString::fromLatin1(title.c_str()));
  box.setPrompt(PathText(prompt));  // questions name files by their paths
  box.exec();
  return box.returnCode() == 0 ? kAnswerCancel : box.returnCode();
}

}  // namespace durnix
