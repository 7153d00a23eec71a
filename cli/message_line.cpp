// SPDX-License-Identifier: MIT
#include "cli/message_line.h"

#include <algorithm>

namespace trilume {

QString OneLineMessage(const QString& message) {
  // Qt's own list of unknown options grows with the argument.
  constexpr qsizetype kLongest = 150;
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

QString ParserErrorMessage(const QString& parserError) {
  QString message = parserError.trimmed();
  if (message.endsWith(QLatin1Char('.'))) message.chop(1);
  // Qt's sentences start with a capital that is no name: "Unknown",
  // "Missing", "Unexpected".
  if (message.size() > 1 && message[0].isUpper() && message[1].isLower()) {
    message[0] = message[0].toLower();
  }
  return OneLineMessage(message);
}

QString UsageErrorLine(const char* program, const QString& message) {
  return QStringLiteral("%1: %2 (see %1 --help)").arg(QLatin1String(program), message);
}

}  // namespace trilume
