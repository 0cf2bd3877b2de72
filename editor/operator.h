// The operator as a command of the editor sees them: what a command tells, and the questions
// it may put. The windows answer with boxes and file dialogs; the tests as they are told.
#pragma once

#include <optional>
#include <string>

namespace editor {

// What a command tells the operator: nothing, an information box or an error box, each a short
// text with lines under it.
struct Report {
    enum class Kind { Nothing, Information, Error };
    Kind kind = Kind::Nothing;
    std::string text;
    std::string detail;  // "" for none
    std::string line;    // one line for the status bar, no box: what an entry cut or reset
    bool radioSilent = false;  // a procedure ended because the radio did not answer (as it should)

    static Report Information(std::string text, std::string detail = {}) {
        return {Kind::Information, std::move(text), std::move(detail), {}, false};
    }
    static Report Error(std::string text) { return {Kind::Error, std::move(text), {}, {}, false}; }
    bool empty() const { return kind == Kind::Nothing && line.empty(); }
};

class Operator {
public:
    virtual ~Operator() = default;
    // A Yes/No question; true for Yes.
    virtual bool confirm(const std::string& question, const std::string& detail = {}) = 0;
    // The file chosen in an open (a save) dialog of that title and filter, as the system names
    // it; nothing when the operator cancelled.
    virtual std::optional<std::string> fileToOpen(const std::string& title, const std::string& filter) = 0;
    virtual std::optional<std::string> fileToSave(const std::string& title, const std::string& filter) = 0;
    // A whole number in minimum..maximum asked for with `question`, offered as `value`.
    virtual std::optional<int> number(const std::string& question, int value, int minimum, int maximum) = 0;
    // A line of text asked for under `label`, offered as `initial`.
    virtual std::optional<std::string> text(const std::string& label, const std::string& initial) = 0;
};

}  // namespace editor
