// PumpDelay in the windows: the transfer procedures wait in a nested Qt event loop, so the
// window stays alive and the serial component's notifications reach RecvHex while they wait.
#pragma once

#include <functional>

#include <QObject>

#include "link/link.h"

class QEventLoop;

namespace serial {
class OwnerQueue;
}

namespace shell {

// Owns the one notifier on the owner queue: whenever the serial component's worker
// threads have posted something, the queue is dispatched, inside a wait or outside one.
class QtPump : public QObject, public radiolink::Pump {
    Q_OBJECT
public:
    explicit QtPump(serial::OwnerQueue& queue, QObject* parent = nullptr);
    ~QtPump() override;

    void runUntil(radiolink::Clock::time_point deadline, const std::function<bool()>& done) override;

private:
    void deliver();

    serial::OwnerQueue& queue_;
    // The innermost wait and its condition (waits nest when a handler waits inside a wait).
    QEventLoop* loop_ = nullptr;
    const std::function<bool()>* done_ = nullptr;
};

}  // namespace shell
