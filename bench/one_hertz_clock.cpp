// SPDX-License-Identifier: MIT
// The yardstick for what a desktop clock costs when idle: a plain Qt Widgets
// analogue clock that repaints once a second with QPainter, the way a
// toolkit's own example does. scripts/measure_wakeups.sh runs it beside
// TRILUME.
#include <QApplication>
#include <QPainter>
#include <QTime>
#include <QTimer>
#include <QWidget>
#include <cmath>

namespace {

class OneHertzClock final : public QWidget {
 public:
  OneHertzClock() {
    setWindowTitle(QStringLiteral("1 Hz clock"));
    resize(280, 310);
    connect(&Tick, &QTimer::timeout, this, QOverload<>::of(&QWidget::update));
    Tick.start(1000);
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    const QTime now = QTime::currentTime();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(0, 0, 128));
    painter.translate(width() / 2.0, height() / 2.0);
    const double radius = std::min(width(), height()) / 2.0 - 10.0;
    painter.setPen(Qt::white);
    painter.drawEllipse(QPointF(0, 0), radius, radius);
    const auto hand = [&painter](double turns, double length, const QColor& colour) {
      const double angle = turns * 2.0 * M_PI;
      painter.setPen(QPen(colour, 2));
      painter.drawLine(QPointF(0, 0), QPointF(std::sin(angle) * length, -std::cos(angle) * length));
    };
    hand((now.hour() % 12 + now.minute() / 60.0) / 12.0, radius * 0.5, Qt::yellow);
    hand((now.minute() + now.second() / 60.0) / 60.0, radius * 0.75, Qt::green);
    hand(now.second() / 60.0, radius * 0.9, Qt::red);
  }

 private:
  QTimer Tick;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  OneHertzClock clock;
  clock.show();
  return QApplication::exec();
}
