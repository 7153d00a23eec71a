// SPDX-License-Identifier: MIT
#include "render/message_line.h"

#include <algorithm>

namespace trilume {

QString OneLineMessage(const QString& message) {
  // Qt's own list of unknown options grows with the argument.
  constexpr qsizetype kLongest = 160;
  QString line;
  line.reserve(std::min(message.size(), kLongest) + 8);
  for (const QChar c : message) {
    if (line.size() >= kLongest) {
      line += QStringLiteral("...");
      break;
    }
    const char16_t code = c.unicode();
    if (code < 0x20 || (code >= 0x7F && code < 0xA0)) {
      line += QStringLiteral("\\x%1").arg(static_cast<unsigned>(code), 2, 16, QLatin1Char('0'));
    } else {
      line += c;
    }
  }
  return line;
}

}  // namespace trilume
