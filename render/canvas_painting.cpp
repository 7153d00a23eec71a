#include "render/canvas_painting.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdio>

namespace trilume {

namespace {

constexpr const char* kFontFile = "/usr/share/fonts/truetype/liberation/LiberationSans-Regular.ttf";
constexpr int kFontPixelSize = 11;

// Row masks of Qt's hatches, one byte per row y mod 8, bit x mod 8. The
// lines sit where QPainter puts them: the horizontal on row 3, the vertical
// in column 4, "\" where x = y and "/" where x + y = 7 (mod 8).
constexpr std::array<std::uint8_t, 8> kHorizontal = {0, 0, 0, 0xFF, 0, 0, 0, 0};
constexpr std::array<std::uint8_t, 8> kVertical = {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10};
constexpr std::array<std::uint8_t, 8> kForward = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80};
constexpr std::array<std::uint8_t, 8> kBackward = {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01};
constexpr std::array<std::uint8_t, 8> kCross = {0x10, 0x10, 0x10, 0xFF, 0x10, 0x10, 0x10, 0x10};
constexpr std::array<std::uint8_t, 8> kDiagCross = {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81};

}  // namespace

QPen CanvasPen(TColor color) {
  QPen pen(ToQColor(color));
  pen.setWidth(1);
  pen.setCosmetic(true);
  return pen;
}

Qt::BrushStyle ToQtBrushStyle(int style) {
  switch (style) {
    case kBsSolid:
      return Qt::SolidPattern;
    case kBsHorizontal:
      return Qt::HorPattern;
    case kBsVertical:
      return Qt::VerPattern;
    case kBsFDiagonal:
      return Qt::FDiagPattern;
    case kBsBDiagonal:
      return Qt::BDiagPattern;
    case kBsCross:
      return Qt::CrossPattern;
    case kBsDiagCross:
      return Qt::DiagCrossPattern;
    default:
      return Qt::NoBrush;
  }
}

std::uint8_t HatchRowMask(int style, int y) {
  const auto row = static_cast<std::size_t>(y & 7);
  switch (style) {
    case kBsSolid:
      return 0xFF;
    case kBsHorizontal:
      return kHorizontal[row];
    case kBsVertical:
      return kVertical[row];
    case kBsFDiagonal:
      return kForward[row];
    case kBsBDiagonal:
      return kBackward[row];
    case kBsCross:
      return kCross[row];
    case kBsDiagCross:
      return kDiagCross[row];
    default:
      return 0;
  }
}

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
