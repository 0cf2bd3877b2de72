#include "shell/qt_pump.h"

#include <chrono>

#include <QEventLoop>
#ifdef _WIN32
#include <QWinEventNotifier>
#else
#include <QSocketNotifier>
#endif
#include <QTimer>

#include "serial/owner_queue.h"

namespace shell {

// The queue is signalled while something is pending: on Windows an event, elsewhere an
// eventfd that polls readable.
QtPump::QtPump(serial::OwnerQueue& queue, QObject* parent) : QObject(parent), queue_(queue) {
#ifdef _WIN32
    auto* notifier = new QWinEventNotifier(queue.event(), this);
    connect(notifier, &QWinEventNotifier::activated, this, &QtPump::deliver);
#else
    auto* notifier = new QSocketNotifier(queue.fd(), QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, &QtPump::deliver);
#endif
}

QtPump::~QtPump() = default;

void QtPump::deliver() {
    queue_.dispatch();
    if (loop_ && done_ && (*done_)()) loop_->quit();
}

void QtPump::runUntil(radiolink::Clock::time_point deadline, const std::function<bool()>& done) {
    queue_.dispatch();
    if (done()) return;
    const auto left = deadline - radiolink::Clock::now();
    if (left <= radiolink::Clock::duration::zero()) return;

    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    // Timers count whole milliseconds: round up so the deadline is never missed early.
    timer.start(static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count()));

    QEventLoop* outerLoop = loop_;
    const std::function<bool()>* outerDone = done_;
    loop_ = &loop;
    done_ = &done;
    loop.exec();
    loop_ = outerLoop;
    done_ = outerDone;
}

}  // namespace shell
