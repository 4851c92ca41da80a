#include "adapters/qt_response_timer.h"

namespace qm4250 {

QtResponseTimer::QtResponseTimer(QObject* parent) : QObject(parent) {
    timer_.setInterval(kIntervalMs);
    timer_.setSingleShot(true);
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &QtResponseTimer::tick);
}

}  // namespace qm4250
