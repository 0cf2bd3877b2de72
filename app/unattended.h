// The program's unattended modes, for the README's pictures and the figures of a start:
// --screenshot-pages saves the login window and every page, --measure prints the times to
// the windows and of a full read. Both log in as a correct password would, then quit.
#pragma once

#include <chrono>
#include <memory>
#include <optional>

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
    std::optional<QString> saveFileName(QWidget*, const QString&, const QString&) override { return std::nullopt; }
    std::optional<int> number(QWidget*, const QString&, int value, int, int) override { return value; }
    std::optional<QString> text(QWidget*, const QString&, const QString&) override { return std::nullopt; }
};

struct UnattendedMode {
    bool measure = false;
    QString screenshotDir;  // empty: no screenshots
    std::chrono::steady_clock::time_point started;
    bool withRadio = false;  // a full read after the log-in
};

// Watches the windows come up and does what the mode asks; the program quits after it.
class Unattended {
public:
    Unattended(const UnattendedMode& mode, shell::Windows& windows);
    ~Unattended();

private:
    void loginShown();
    void mainShown();
    UnattendedMode mode_;
    shell::Windows& windows_;
    std::unique_ptr<QObject> loginPaint_, mainPaint_;
};

}  // namespace app
