// What the windows ask and tell the operator: information boxes, the Yes/No question, error
// boxes and the file dialogs. The windows reach them only through this interface, so a test
// can answer them; the default shows the real boxes and dialogs.
#pragma once

#include <optional>

#include <QString>

#include "editor/operator.h"

class QWidget;

namespace shell {

class Prompter {
public:
    virtual ~Prompter() = default;
    // An information box with the system's fixed text; `detail`, when given, is shown under it.
    virtual void information(QWidget* parent, const QString& text, const QString& detail = {}) = 0;
    // A confirmation box with the buttons Yes and No: true for Yes. `detail`, when given, is
    // what the question is about, shown under it.
    virtual bool question(QWidget* parent, const QString& text, const QString& detail = {}) = 0;
    // An error box with the system's reason.
    virtual void error(QWidget* parent, const QString& text) = 0;
    // The open and save dialogs: the chosen name, or nothing when cancelled.
    virtual std::optional<QString> openFileName(QWidget* parent, const QString& title, const QString& filter) = 0;
    virtual std::optional<QString> saveFileName(QWidget* parent, const QString& title, const QString& filter) = 0;
    // A small input of a whole number in minimum..maximum, opened at `value`: the number, or
    // nothing when cancelled.
    virtual std::optional<int> number(QWidget* parent, const QString& text, int value, int minimum, int maximum) = 0;
    // A line of text asked for under `label`, starting as `initial`: nothing when cancelled.
    virtual std::optional<QString> text(QWidget* parent, const QString& label, const QString& initial) = 0;
};

// QMessageBox and QFileDialog.
class DialogPrompter : public Prompter {
public:
    void information(QWidget* parent, const QString& text, const QString& detail = {}) override;
    bool question(QWidget* parent, const QString& text, const QString& detail = {}) override;
    void error(QWidget* parent, const QString& text) override;
    std::optional<QString> openFileName(QWidget* parent, const QString& title, const QString& filter) override;
    std::optional<QString> saveFileName(QWidget* parent, const QString& title, const QString& filter) override;
    std::optional<int> number(QWidget* parent, const QString& text, int value, int minimum, int maximum) override;
    std::optional<QString> text(QWidget* parent, const QString& label, const QString& initial) override;
};

// The editor's questions and reports put through a prompter, over a parent window. Paths
// come back as the system names them.
class PrompterOperator : public editor::Operator {
public:
    PrompterOperator(Prompter& prompter, QWidget* parent) : prompter_(prompter), parent_(parent) {}
    bool confirm(const std::string& question, const std::string& detail) override;
    std::optional<std::string> fileToOpen(const std::string& title, const std::string& filter) override;
    std::optional<std::string> fileToSave(const std::string& title, const std::string& filter) override;
    std::optional<int> number(const std::string& question, int value, int minimum, int maximum) override;
    std::optional<std::string> text(const std::string& label, const std::string& initial) override;
    // Shows a report's box: an information or an error box, or nothing (its status-bar line
    // is the window's).
    void tell(const editor::Report& report);

private:
    Prompter& prompter_;
    QWidget* parent_;
};

// The caption of every box the program shows.
inline constexpr const char* kBoxCaption = "Radio";

}  // namespace shell
