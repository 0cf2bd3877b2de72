#include "editor/session.h"

#include "codeplug/codeplug.h"
#include "base/text.h"

namespace editor {
namespace {

constexpr const char* kFileFilter = "*.bc";

std::string Lines(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines) out += (out.empty() ? "" : "\n") + line;
    return out;
}

}  // namespace

Session::Session(Operator& op) : operator_(op) {}

Report Session::command(const Change& change) {
    finishEdit();
    if (busy()) return Refusal();
    Report report = change(state_);
    record();
    return report;
}

Report Session::edit(const Change& change, const std::string& merge) {
    Report report = change(state_);
    record(merge);
    return report;
}

void Session::record(const std::string& merge) { history_.record(state_, merge); }

void Session::rebase() { history_.rebase(state_); }

Report Session::Procedure(Transfer transfer, const Change& run) {
    finishEdit();
    if (busy()) return Refusal();
    Report report = run(state_);
    if (transfer == Transfer::Reads)
        record();
    else
        rebase();
    return report;
}

Report Session::New() {
    return command([this](image::EditorState& state) {
        if (operator_.confirm(base::Tr("是否新建?"))) state = codeplug::New(state);
        return Report();
    });
}

Report Session::Open() {
    return command([this](image::EditorState& state) {
        const auto name = operator_.fileToOpen("Open", kFileFilter);
        if (!name) return Report();
        codeplug::OpenResult opened = codeplug::OpenFile(*name, state);
        if (!opened.ok()) return Report::Error(opened.error);
        state = std::move(opened.value);
        if (opened.notes.empty()) return Report();
        return Report::Information(Lines(opened.notes));
    });
}

// Saving changes nothing, so it is no step; it ends the edit in progress, so that what the
// operator typed last is in the file.
Report Session::Save() {
    finishEdit();
    const auto name = operator_.fileToSave("Save", kFileFilter);
    if (!name) return {};
    const base::Outcome<> saved = codeplug::SaveFile(codeplug::PathForSave(*name), state_);
    if (!saved.ok()) return Report::Error(saved.error);
    // What the file could not carry was written as blanks: say where.
    return Report::Information(base::Tr("保存成功!"), Lines(saved.notes));
}

Report Session::Undo() { return travel(false); }

Report Session::Redo() { return travel(true); }

Report Session::travel(bool forward) {
    finishEdit();
    if (busy()) return Refusal();
    record();
    state_ = forward ? history_.redo(state_) : history_.undo(state_);
    record();
    return {};
}

}  // namespace editor
