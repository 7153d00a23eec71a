// SPDX-License-Identifier: MIT
#include "render/canvas/canvas_font.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdio>

namespace trilume {

namespace {

// Liberation Sans 2, where each Debian release keeps it: Debian 12's
// fonts-liberation2, Debian 13's fonts-liberation. Debian 12's own
// fonts-liberation is version 1.07, whose numerals differ by a few pixels, so
// the folder only version 2 uses is tried first.
constexpr std::array<const char*, 2> kFontFiles = {
    "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
    "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf"};
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
    for (const char* file : kFontFiles) {
      const int id = QFontDatabase::addApplicationFont(QString::fromLatin1(file));
      const QStringList families =
          id < 0 ? QStringList() : QFontDatabase::applicationFontFamilies(id);
      if (!families.isEmpty()) return families.front();
    }
    std::fprintf(stderr, "trilume: cannot load %s, using the default sans-serif font\n",
                 kFontFiles.back());
    return QString();
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
