// The editor session: the editor state, its undo history and whether the radio holds the
// editor, with every command that changes the state on one path. The windows show the state
// and what a command reports; they keep nothing of their own that matters.
#pragma once

#include <functional>
#include <string>

#include "editor/operator.h"
#include "image/editor_state.h"
#include "image/history.h"

namespace editor {

// Told when a command is refused because a procedure holds the radio.
inline constexpr const char* kBusyText = "正在与电台通讯, 请等当前操作结束!";

class Session {
public:
    using Change = std::function<Report(image::EditorState&)>;

    explicit Session(Operator& op);

    const image::EditorState& state() const { return state_; }
    // What a procedure fills while it holds the radio, and what the grids' editors commit
    // into; record() afterwards.
    image::EditorState& state() { return state_; }
    const image::History& history() const { return history_; }

    // Ends an edit in progress as leaving it would (an open cell editor commits); set by the
    // windows, which hold the editors.
    std::function<void()> finishEdit = [] {};
    // Whether a procedure holds the radio (and so the state).
    std::function<bool()> radioBusy = [] { return false; };

    // The one path of a command: ends the edit in progress, refuses while the radio is busy,
    // applies the change and records it as one undo step; gives what to tell.
    Report command(const Change& change);
    // A handler of a settings page or a grid editor: no edit to end, no refusal (a procedure
    // keeps every window behind its own). `merge` names the edit whose keys and commit are one
    // step.
    Report edit(const Change& change, const std::string& merge = {});
    // After the state was changed in place (a procedure, a grid's editor): a step when the
    // content changed. `merge` as for edit.
    void record(const std::string& merge = {});
    // Takes the state as it is without a step: a write changes the radio, not the editor.
    void rebase();

    // Whether a command would be refused now, and the refusal.
    bool busy() const { return radioBusy(); }
    static Report Refusal() { return Report::Information(kBusyText); }

    // The commands of the 文件 and 编辑 menus.
    Report New();
    Report Open();
    Report Save();
    Report Undo();
    Report Redo();

private:
    Report travel(bool forward);

    Operator& operator_;
    image::EditorState state_;
    image::History history_{state_};
};

}  // namespace editor
