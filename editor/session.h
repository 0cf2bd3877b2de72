// The editor session: the editor state, its undo history and whether the radio holds the
// editor, with every command that changes the state on one path. The windows show the state
// and what a command reports; they keep nothing of their own that matters.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "base/text.h"
#include "editor/operator.h"
#include "image/editor_state.h"
#include "editor/history.h"

namespace editor {

// Told when a command is refused because a procedure holds the radio.
inline constexpr const char* kBusyText = "正在与电台通讯, 请等当前操作结束!";

// Where a row command works: the channel page's band, its selected rows (from 1, never none),
// the one selected cell (column, row; column 0 when more cells are selected) and the
// clipboard's text.
struct Rows {
    image::Band band;
    std::vector<int> rows;
    int column = 0;
    int row = 0;
    std::string clipboard;
};

// What a row command leaves besides its report: the rows to select (none: the selection stays)
// and the clipboard's new text (none: it stays).
struct RowsDone {
    Report report;
    std::vector<int> select;
    std::optional<std::string> clipboard;
};

// What a procedure with the radio does to the editor: a read fills it, a write leaves it as it is.
enum class Transfer { Reads, Writes };

class Session {
public:
    using Change = std::function<Report(image::EditorState&)>;

    explicit Session(Operator& op);

    const image::EditorState& state() const { return state_; }
    // What a procedure fills while it holds the radio, and what the grids' editors commit
    // into; record() afterwards.
    image::EditorState& state() { return state_; }
    const editor::History& history() const { return history_; }

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
    // A procedure with the radio on the path of a command: a read is one step, also when it
    // stopped part way (and none when it changed nothing); a write is none.
    Report Procedure(Transfer transfer, const Change& run);

    // Whether a command would be refused now, and the refusal.
    bool busy() const { return radioBusy(); }
    static Report Refusal() { return Report::Information(base::Tr(kBusyText)); }

    // The commands of the 文件 and 编辑 menus.
    Report New();
    Report Open();
    Report Save();
    Report Undo();
    Report Redo();
    // 导入CSV and 导出CSV: the channels of one band in CHIRP's CSV format.
    Report ImportCsv(image::Band band);
    Report ExportCsv(image::Band band);

    // The row commands of the channel pages.
    RowsDone CutRows(const Rows& where);
    RowsDone CopyRows(const Rows& where);
    RowsDone PasteRows(const Rows& where);
    RowsDone InsertRow(const Rows& where);
    RowsDone DeleteRows(const Rows& where);
    RowsDone MoveRowsUp(const Rows& where);
    RowsDone MoveRowsDown(const Rows& where);
    RowsDone SortRows(const Rows& where);
    RowsDone CloseGaps(const Rows& where);
    RowsDone FillRows(const Rows& where);

private:
    Report travel(bool forward);
    // A row command on the path of every command, over the grid of the rows' band.
    RowsDone rowCommand(const Rows& where, const std::function<RowsDone(image::Grid&)>& change);

    Operator& operator_;
    image::EditorState state_;
    editor::History history_{state_};
};

}  // namespace editor
