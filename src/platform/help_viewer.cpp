// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/help_viewer.h"

#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

namespace durnix {

namespace {

QString& helpFolder() {
  static QString folder;
  return folder;
}

QPointer<QTextBrowser>& window() {
  static QPointer<QTextBrowser> browser;
  return browser;
}

}  // namespace

void HelpViewer::SetHelpFile(const QString& folder) {
  helpFolder() = folder;
}

void HelpViewer::ShowTopic(int topic) {
  const QString page = QDir(helpFolder()).filePath(QString::number(topic) + ".html");
  if (!QFileInfo::exists(page)) return;
  if (window().isNull()) {
    auto* browser = new QTextBrowser();
    browser->setAttribute(Qt::WA_DeleteOnClose);
    browser->setObjectName("HelpViewer");
    browser->setWindowTitle("Durnix Help");
    browser->setOpenExternalLinks(true);
    browser->setSearchPaths({helpFolder()});
    browser->resize(640, 560);
    window() = browser;
  }
  window()->setSource(QUrl::fromLocalFile(page));
  window()->show();
  window()->raise();
}

void HelpViewer::Quit() {
  if (!window().isNull()) window()->close();
}

QWidget* HelpViewer::Window() {
  return window().data();
}

}  // namespace durnix
