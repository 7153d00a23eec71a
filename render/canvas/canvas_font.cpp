// SPDX-License-Identifier: MIT
#include "render/canvas/canvas_font.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QString>
#include <QStringList>
#include <cstdio>

namespace trilume {

namespace {

constexpr const char* kFontFile = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
constexpr int kFontPixelSize = 11;

}  // namespace

bool HasGuiApplication() {
  static bool warned = false;
  if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr) return true;
  if (!warned) {
    warned = true;
    std::fputs("trilume: no QGuiApplication, text is not drawn\n", stderr);
  }
  return false;
}

QFont CanvasFont() {
  // Registered once per process; the family name is all later calls need.
  static const QString family = [] {
    const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(kFontFile));
    const QStringList families =
        id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
    if (families.isEmpty()) {
      std::fprintf(stderr, "trilume: cannot load %s, using the default sans-serif font\n",
                   kFontFile);
      return QString();
    }
    return families.front();
  }();
  QFont font;
  if (family.isEmpty()) {
    font.setStyleHint(QFont::SansSerif);
    font.setFamily(QStringLiteral("sans-serif"));
  } else {
    font.setFamily(family);
  }
  font.setPixelSize(kFontPixelSize);
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

}  // namespace trilume
