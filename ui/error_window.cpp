// SPDX-License-Identifier: MIT
#include "ui/error_window.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <cstdio>

namespace trilume {

namespace {

QPointer<QMessageBox>& MessageWindow() {
  static QPointer<QMessageBox> window;
  return window;
}

QString ToQString(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void WriteToStderr(std::string_view message) {
  std::fprintf(stderr, "trilume: %.*s\n", static_cast<int>(message.size()), message.data());
  std::fflush(stderr);
}

}  // namespace

void ShowException(std::string_view message, QWidget* parent) {
  if (QApplication::instance() == nullptr) {
    WriteToStderr(message);
    return;
  }
  const QString text = ToQString(message);
  QPointer<QMessageBox>& window = MessageWindow();
  QMessageBox* box = window.data();
  WriteToStderr(message);
  if (box == nullptr) {
    box = new QMessageBox(QMessageBox::Critical, QStringLiteral("TRILUME"), text, QMessageBox::Ok,
                          parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    window = box;
  } else {
    box->setText(text);
  }
  box->show();
  box->raise();
}

void ShowStartupException(std::string_view message) {
  WriteToStderr(message);
  if (QApplication::instance() == nullptr) {
    return;
  }
  QMessageBox box(QMessageBox::Critical, QStringLiteral("TRILUME"), ToQString(message),
                  QMessageBox::Ok);
  box.exec();
}

}  // namespace trilume
