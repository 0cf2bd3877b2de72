// The radio list and what each radio is given.
#include <algorithm>
#include <map>

#include "base/gbk.h"
#include "exchange/csv_text.h"
#include "fleet/fleet.h"
#include "image/dtmf_page.h"
#include "image/limits_page.h"

namespace fleet {
namespace {

constexpr const char* kColumns[] = {"label", "id", "controller_id", "line1", "line2"};
constexpr std::size_t kLineBytes = 7;  // a power-on line's room

std::string where(int line, const std::string& column) {
    return "line " + std::to_string(line) + (column.empty() ? "" : ", column " + column) + ": ";
}

// What the identity code edit would make of the text: the codec's own refusal ("只保留7个字符:
// ..."), or nothing when it takes the text as it is.
std::string idCodeProblem(const std::string& text, int number) {
    image::EditorState scratch;
    scratch.dtmf.sypz[static_cast<std::size_t>(number)] = text;
    return image::DtmfTextChanged(scratch, image::CodeKind::Identity, number);
}

std::string lineProblem(const std::string& text) {
    const auto gbk = base::Utf8ToGbk(text);
    if (!gbk) return "'" + text + "' holds a character that has no GBK form";
    if (gbk->size() > kLineBytes)
        return "'" + text + "' takes " + std::to_string(gbk->size()) + " GBK bytes, a power-on line holds 7";
    return {};
}

base::Outcome<std::vector<RadioRow>> refused(const std::vector<std::string>& problems) {
    std::string text;
    for (const auto& p : problems) text += (text.empty() ? "" : "\n") + p;
    return base::Failure<std::vector<RadioRow>>(text, base::ErrorKind::BadData);
}

}  // namespace

base::Outcome<std::vector<RadioRow>> ParseRadios(std::string_view text) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);  // a spreadsheet's BOM
    const exchange::CsvRecords parsed = exchange::ParseCsvRecords(text);
    // The fleet's messages are English in either language, as the rest of its list's are.
    if (parsed.fault) return refused({where(parsed.fault->line, "") + "a quoted field that starts in this row is never closed"});
    if (parsed.records.empty()) return refused({"line 1: no header line (label,id,controller_id,line1,line2)"});

    std::vector<std::string> problems;
    const exchange::CsvRecord& header = parsed.records.front();
    std::map<std::string, std::size_t> index;
    for (std::size_t i = 0; i < header.fields.size(); ++i) {
        const std::string name = exchange::LowerAscii(exchange::TrimField(header.fields[i]));
        if (std::find(std::begin(kColumns), std::end(kColumns), name) == std::end(kColumns))
            problems.push_back(where(header.line, name) + "no such column (label, id, controller_id, line1, line2)");
        else if (!index.emplace(name, i).second)
            problems.push_back(where(header.line, name) + "the column is named twice");
    }
    for (const char* required : {"label", "id"})
        if (!index.count(required)) problems.push_back(where(header.line, required) + "the header lacks this column");
    if (!problems.empty()) return refused(problems);

    std::vector<RadioRow> rows;
    std::map<std::string, int> labels, ids;  // first line of each
    for (std::size_t r = 1; r < parsed.records.size(); ++r) {
        const exchange::CsvRecord& record = parsed.records[r];
        if (record.fields.size() > header.fields.size()) {
            problems.push_back(where(record.line, "") + std::to_string(record.fields.size()) +
                               " fields, the header names " + std::to_string(header.fields.size()));
            continue;
        }
        auto cell = [&](const char* column) -> std::optional<std::string> {
            const auto it = index.find(column);
            if (it == index.end()) return std::nullopt;
            const std::string value = it->second < record.fields.size() ? exchange::TrimField(record.fields[it->second]) : "";
            return value.empty() ? std::nullopt : std::optional(value);
        };
        RadioRow row;
        row.line = record.line;
        row.label = cell("label").value_or("");
        row.id = cell("id").value_or("");
        row.controllerId = cell("controller_id");
        row.line1 = cell("line1");
        row.line2 = cell("line2");
        const std::size_t before = problems.size();
        if (row.label.empty()) problems.push_back(where(row.line, "label") + "empty: the label is required");
        if (row.id.empty())
            problems.push_back(where(row.line, "id") + "empty: the radio's own ID code is required");
        else if (const auto p = idCodeProblem(row.id, 1); !p.empty())
            problems.push_back(where(row.line, "id") + "'" + row.id + "' is no ID code: " + p);
        if (row.controllerId)
            if (const auto p = idCodeProblem(*row.controllerId, 2); !p.empty())
                problems.push_back(where(row.line, "controller_id") + "'" + *row.controllerId + "' is no ID code: " + p);
        if (row.line1)
            if (const auto p = lineProblem(*row.line1); !p.empty()) problems.push_back(where(row.line, "line1") + p);
        if (row.line2)
            if (const auto p = lineProblem(*row.line2); !p.empty()) problems.push_back(where(row.line, "line2") + p);
        if (!row.label.empty())
            if (const auto [it, fresh] = labels.emplace(row.label, row.line); !fresh)
                problems.push_back(where(row.line, "label") + "'" + row.label + "' is the label of line " +
                                   std::to_string(it->second) + " too");
        if (!row.id.empty())
            if (const auto [it, fresh] = ids.emplace(row.id, row.line); !fresh)
                problems.push_back(where(row.line, "id") + "'" + row.id + "' is the ID of line " +
                                   std::to_string(it->second) + " too");
        if (problems.size() == before) rows.push_back(std::move(row));
    }
    if (!problems.empty()) return refused(problems);
    return base::Success(std::move(rows));
}

base::Outcome<std::vector<RadioRow>> RowsToDo(const std::vector<RadioRow>& rows, const Done& done) {
    std::vector<RadioRow> todo;
    std::vector<std::string> problems;
    for (const RadioRow& row : rows) {
        if (done.labels.count(row.label)) continue;
        if (done.ids.count(row.id))
            problems.push_back(where(row.line, "id") + "'" + row.id +
                               "' is the ID of a radio the log has as programmed already");
        else
            todo.push_back(row);
    }
    if (!problems.empty()) return refused(problems);
    return base::Success(std::move(todo));
}

image::EditorState StateFor(const image::EditorState& plan, const image::EditorState& radio, const RadioRow& row,
                            bool planLimits) {
    image::EditorState state = plan;
    // The identity codes' field as the radio had it, then the row's codes spliced in by the
    // code edits' own encoder: what the row leaves empty stays as the radio's bytes.
    state.k[12] = radio.k[12];
    state.dtmf.sypz[1] = row.id;
    image::DtmfTextChanged(state, image::CodeKind::Identity, 1);
    state.dtmf.sypz[2] = row.controllerId.value_or(radio.dtmf.sypz[2]);
    if (row.controllerId) image::DtmfTextChanged(state, image::CodeKind::Identity, 2);

    state.k[10] = radio.k[10];
    state.limits.kaiji1 = radio.limits.kaiji1;
    state.limits.kaiji2 = radio.limits.kaiji2;
    if (row.line1) {
        state.limits.kaiji1 = *row.line1;
        image::MessageLineCommit(state, 1);
    }
    if (row.line2) {
        state.limits.kaiji2 = *row.line2;
        image::MessageLineCommit(state, 2);
    }

    if (!planLimits) {
        state.k[11] = radio.k[11];
        state.limits.xp = radio.limits.xp;
        state.limits.xp5 = radio.limits.xp5;
    }
    state.dtmf.sypz9 = radio.dtmf.sypz9;  // the remote-control state has no hidden field
    return state;
}

}  // namespace fleet
