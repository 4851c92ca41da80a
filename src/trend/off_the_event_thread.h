#pragma once

#include <QEventLoop>
#include <QMetaObject>
#include <optional>
#include <thread>
#include <utility>

namespace qm4250 {

// Runs `work` on a thread of its own while the event loop goes on, so that a slow archive (a lock
// held for minutes) leaves the window painting; returns its outcome once it is done.
template <typename Work>
auto OffTheEventThread(Work work) -> decltype(work()) {
    std::optional<decltype(work())> outcome;
    QEventLoop loop;
    std::thread worker([&] {
        outcome.emplace(work());
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    return std::move(*outcome);
}

}  // namespace qm4250
