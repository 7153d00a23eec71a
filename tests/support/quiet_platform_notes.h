// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QtGlobal>

namespace trilume {

// Qt notes a missing XDG_RUNTIME_DIR (CI, containers) while its platform
// starts. The offscreen tests never use that directory, and the note, said
// again by every test program each time ctest lists its tests, buries the
// build's own output. Everything else passes on. Call before the
// application object is made.
inline void QuietPlatformNotes() {
  static QtMessageHandler previous = nullptr;
  previous = qInstallMessageHandler(
      [](QtMsgType type, const QMessageLogContext& context, const QString& text) {
        if (type == QtWarningMsg && text.startsWith(QLatin1String("QStandardPaths: "))) return;
        previous(type, context, text);
      });
}

}  // namespace trilume
