// SIGTERM, SIGINT and SIGHUP end the program the way its 退出 entry does: never in the middle
// of a transfer, whose waits would otherwise be cut short and whose "EXIT" could be lost.
// The handler only writes to a pipe; the main window hears it in its own event loop.
#pragma once

#include <QObject>

class QSocketNotifier;

namespace shell {

class TForm2;

class EndOnSignals : public QObject {
    Q_OBJECT
public:
    explicit EndOnSignals(TForm2& form2);  // installs the handlers
    ~EndOnSignals() override;              // restores the default actions

private:
    void arrived();
    TForm2& form2_;
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace shell
