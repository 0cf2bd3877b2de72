// The program's unattended modes, for the README's pictures, the figures of a start and the
// check of a build for another system: --screenshot-pages saves the login window, every page
// and every dialog, --measure prints the times to the windows and of a full read, --round-trip
// reads the radio, saves what it read and writes it back, through the windows' own commands.
// All log in as a correct password would, then quit.
#pragma once

#include <chrono>
#include <memory>
#include <optional>

#include <QDir>
#include <QObject>
#include <QString>

#include "shell/prompter.h"
#include "shell/windows.h"

namespace app {

// What a box would say goes to stderr, and every question is answered Yes.
class EchoPrompter : public shell::Prompter {
public:
    void information(QWidget*, const QString& text, const QString& detail) override;
    bool question(QWidget*, const QString&, const QString&) override { return true; }
    void error(QWidget*, const QString& text) override;
    std::optional<QString> openFileName(QWidget*, const QString&, const QString&) override { return std::nullopt; }
    std::optional<QString> saveFileName(QWidget*, const QString&, const QString&) override;
    std::optional<int> number(QWidget*, const QString&, int value, int, int) override { return value; }
    std::optional<QString> text(QWidget*, const QString&, const QString&) override { return std::nullopt; }

    QString saveAs;  // the answer to a save dialog; empty: cancelled
};

struct UnattendedMode {
    bool measure = false;
    QString screenshotDir;  // empty: no screenshots
    std::chrono::steady_clock::time_point started;
    bool withRadio = false;  // a full read after the log-in
    QString roundTrip;       // the .bc file a read is saved into before it is written back
};

// Watches the windows come up and does what the mode asks; the program quits after it.
class Unattended {
public:
    Unattended(const UnattendedMode& mode, shell::Windows& windows, EchoPrompter& prompter);
    ~Unattended();

private:
    void loginShown();
    void mainShown();
    void saveDialogs(const QDir& dir);
    bool roundTrip();
    UnattendedMode mode_;
    shell::Windows& windows_;
    EchoPrompter& prompter_;
    std::unique_ptr<QObject> loginPaint_, mainPaint_;
};

}  // namespace app
