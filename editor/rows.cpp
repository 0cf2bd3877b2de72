// The row commands of the channel pages: whole channel rows of one band, each one undo step.
#include "editor/session.h"
#include "editor/row_operations.h"
#include "base/text.h"

namespace editor {
namespace {

std::string Trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n\v\f");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n\v\f") - first + 1);
}

}  // namespace

RowsDone Session::rowCommand(const Rows& where, const std::function<RowsDone(image::Grid&)>& change) {
    RowsDone done;
    done.report = command([&](image::EditorState& state) {
        if (!where.rows.empty()) done = change(state.grid(where.band));
        return done.report;
    });
    return done;
}

RowsDone Session::CopyRows(const Rows& where) {
    return rowCommand(where, [&](image::Grid& grid) {
        RowsDone done;
        done.clipboard = editor::CopyRows(grid, where.rows);
        return done;
    });
}

RowsDone Session::CutRows(const Rows& where) {
    return rowCommand(where, [&](image::Grid& grid) {
        RowsDone done{{}, where.rows, editor::CopyRows(grid, where.rows)};
        for (int r : where.rows) editor::ClearRow(grid, r);
        return done;
    });
}

RowsDone Session::PasteRows(const Rows& where) {
    return rowCommand(where, [&](image::Grid& grid) {
        const editor::Pasted pasted = editor::Paste(grid, where.rows.front(), where.column, where.row, where.clipboard);
        RowsDone done;
        if (!pasted.refused.empty()) done.report = Report::Information(pasted.refused);
        done.report.line = pasted.told;
        if (pasted.changed) done.select = pasted.rows;  // none for a single value: the cell stays current
        return done;
    });
}

RowsDone Session::InsertRow(const Rows& where) {
    return rowCommand(where, [&](image::Grid& grid) {
        RowsDone done;
        if (editor::RowSet(grid, image::kChannels) && !operator_.confirm(base::Tr("第128信道将被移出信道表, 是否插入空行?")))
            return done;
        editor::InsertRow(grid, where.rows.front());
        done.select = {where.rows.front()};
        return done;
    });
}

RowsDone Session::DeleteRows(const Rows& where) {
    return rowCommand(where, [&](image::Grid& grid) {
        editor::DeleteRows(grid, where.rows);
        return RowsDone{{}, {where.rows.front()}, {}};
    });
}

RowsDone Session::MoveRowsUp(const Rows& where) {
    return rowCommand(where, [&](image::Grid& grid) { return RowsDone{{}, editor::MoveRows(grid, where.rows, -1), {}}; });
}

RowsDone Session::MoveRowsDown(const Rows& where) {
    return rowCommand(where, [&](image::Grid& grid) { return RowsDone{{}, editor::MoveRows(grid, where.rows, 1), {}}; });
}

RowsDone Session::SortRows(const Rows& where) {
    return rowCommand(where, [&](image::Grid& grid) {
        editor::SortByFrequency(grid);
        return RowsDone();
    });
}

// The channels that hold something move up in their order; the empty ones go to the end.
RowsDone Session::CloseGaps(const Rows& where) {
    return rowCommand(where, [](image::Grid& grid) {
        std::vector<int> empty;
        for (int row = 1; row <= image::kChannels; ++row)
            if (!editor::RowSet(grid, row)) empty.push_back(row);
        editor::DeleteRows(grid, empty);
        return RowsDone();
    });
}

RowsDone Session::FillRows(const Rows& where) {
    return rowCommand(where, [&](image::Grid& grid) {
        RowsDone done;
        const auto start = operator_.text(base::Tr("起始频率(MHz):"), grid.at(where.rows.front(), image::kColRxFreq));
        if (!start) return done;
        const auto step = operator_.text(base::Tr("步进(MHz):"), "0.025");
        if (!step) return done;
        const image::Message message = editor::FillFrequencies(grid, where.rows, Trimmed(*start), Trimmed(*step));
        if (message.empty())
            done.select = where.rows;
        else
            done.report = Report::Information(message);
        return done;
    });
}

}  // namespace editor
