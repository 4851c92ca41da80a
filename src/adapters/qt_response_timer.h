#pragma once

#include <QObject>
#include <QTimer>

#include "session/response_timer.h"

namespace qm4250 {

// The 500 ms response timer on the event thread; it fires once per start.
class QtResponseTimer : public QObject, public ResponseTimer {
    Q_OBJECT
  public:
    static constexpr int kIntervalMs = 500;

    explicit QtResponseTimer(QObject* parent = nullptr);

    void start() override { timer_.start(); }
    void stop() override { timer_.stop(); }

  signals:
    void tick();

  private:
    QTimer timer_;
};

}  // namespace qm4250
