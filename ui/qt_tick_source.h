// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QTimer>

#include "model/tick_source.h"

namespace trilume {

// The program's tick source: the system's monotonic clock, and one precise
// single-shot Qt timer for the wake-up.
class QtTickSource final : public QObject, public TickSource {
  Q_OBJECT

 public:
  explicit QtTickSource(QObject* parent = nullptr);

  std::int64_t NowMicroseconds() const override;
  void WakeAt(std::int64_t deadlineMicroseconds) override;
  void Sleep() override { Wake.stop(); }

 private:
  QTimer Wake;
};

}  // namespace trilume
