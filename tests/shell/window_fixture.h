// The program's windows on the offscreen platform, over a virtual radio with pacing off, with
// a prompter that records every box and answers every question and file dialog as told.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include "shell/channel_grid.h"
#include "shell/connection_check.h"
#include "shell/prompter.h"
#include "shell/windows.h"
#include "sim/virtual_radio.h"


// Readable failures.
QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) { *os << '{' << l.join("|").toStdString() << '}'; }
QT_END_NAMESPACE

class FakePrompter : public shell::Prompter {
public:
    struct Box {
        QString text, detail;
    };
    std::vector<Box> infos;
    QStringList errors, questions, questionDetails;
    bool answer = true;                     // to every question but those in `declined`
    // The check offered after a radio did not answer runs only where a test asks for it.
    QStringList declined{QString::fromUtf8(shell::kOfferCheck)};
    std::deque<std::optional<QString>> files;  // answers to the file dialogs, in order
    QString lastTitle, lastFilter;
    std::deque<std::optional<int>> numbers;  // answers to the number inputs; none: the value offered
    QStringList numberTexts;

    void information(QWidget*, const QString& text, const QString& detail) override { infos.push_back({text, detail}); }
    bool question(QWidget*, const QString& text, const QString& detail) override {
        questions.push_back(text);
        questionDetails.push_back(detail);
        return answer && !declined.contains(text);
    }
    void error(QWidget*, const QString& text) override { errors.push_back(text); }
    std::optional<QString> openFileName(QWidget*, const QString& title, const QString& filter) override {
        return file(title, filter);
    }
    std::optional<QString> saveFileName(QWidget*, const QString& title, const QString& filter) override {
        return file(title, filter);
    }
    std::optional<int> number(QWidget*, const QString& text, int value, int, int) override {
        numberTexts.push_back(text);
        if (numbers.empty()) return value;
        const std::optional<int> answer = numbers.front();
        numbers.pop_front();
        return answer;
    }
    // Answers to the text questions, in order; cancelled when none is left.
    std::deque<std::optional<QString>> inputs;
    QStringList inputLabels;
    std::optional<QString> text(QWidget*, const QString& label, const QString&) override {
        inputLabels << label;
        return take(inputs);
    }
    QStringList texts() const {
        QStringList out;
        for (const auto& b : infos) out << b.text;
        return out;
    }

private:
    std::optional<QString> file(const QString& title, const QString& filter) {
        lastTitle = title;
        lastFilter = filter;
        return take(files);
    }
    // The next answer, nothing when none is left. Taken apart: GCC 12 at -O2 takes a copied
    // optional<QString> for uninitialised.
    static std::optional<QString> take(std::deque<std::optional<QString>>& answers) {
        if (answers.empty()) return std::nullopt;
        const bool given = answers.front().has_value();
        const QString value = given ? *answers.front() : QString();
        answers.pop_front();
        if (!given) return std::nullopt;
        return value;
    }
};

// A folder of user files as a first start makes it (the company name "Velkor", the built-in
// picture, the empty password), in a temporary folder.
struct UserFolder {
    UserFolder();
    std::string path(const char* name = nullptr) const;
    std::string bytes(const char* name) const;
    void put(const char* name, const std::string& bytes) const;
    QTemporaryDir temporary;
    std::string dir;
};

struct Program {
    // withRadio: a virtual radio listed as the only port; otherwise no port at all. The main
    // window is shown at once, as after a log-in, unless showMain is false.
    // `adjust` may change the window's options before it is made; it is given the virtual
    // radio's path ("" without one). The port used last is kept in a file of this Program's
    // own unless `adjust` says otherwise.
    using Adjust = std::function<void(shell::MainWindowOptions&, const std::string& radioPath)>;
    explicit Program(bool withRadio = true, const char* fault = "none", bool showMain = true, const Adjust& adjust = {});
    ~Program();

    shell::TForm1& form1() { return *windows.Form1; }
    shell::TForm2& form2() { return *windows.Form2; }
    shell::ChannelPage& page(image::Band band) { return *form2().channelPage(band); }
    shell::StringGrid& grid(image::Band band) { return *page(band).grid(); }

    template <class T = QWidget>
    T* find(const char* name) {
        T* w = form2().findChild<T*>(QString::fromUtf8(name));
        if (!w) ADD_FAILURE() << "no control " << name;
        return w;
    }
    QString field(int k) { return find<QLineEdit>(("k" + std::to_string(k)).c_str())->text(); }
    QString cell(image::Band band, int row, int column) {
        return grid(band).model()->index(row - 1, column).data().toString();
    }
    void showPage(int index);
    void activate();
    void clickCell(image::Band band, int column, int row);
    // A channel number clicked, with Shift or Ctrl as given.
    void clickRow(image::Band band, int row, Qt::KeyboardModifiers modifiers = {});
    // Types into a cell's editor, opened by a click, and commits with Enter.
    void enter(image::Band band, int column, int row, const QString& text);
    // Types into the widget that has the focus, as the keyboard would.
    void type(const QString& keys);
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Opens the drop-down and clicks the item.
    void choose(QComboBox* box, const QString& item);
    void choose(QComboBox* box, int index);
    // Moves the input focus away from an edit to the next control.
    void leave(QWidget* edit);

    FakePrompter prompter;
    int terminated = 0;  // how often the program was told to end
    UserFolder user;
    std::unique_ptr<sim::VirtualRadio> radio;
    shell::Windows windows;
};
