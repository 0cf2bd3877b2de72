// 导入CSV and 导出CSV: the channels of one band in CHIRP's CSV format.
#include "editor/session.h"
#include "exchange/chirp_csv.h"
#include "files/atomic_write.h"
#include "files/read_file.h"
#include "image/channel_codec.h"
#include "base/text.h"

namespace editor {
namespace {

constexpr const char* kCsvFilter = "CSV 文件 (*.csv)";
// Files from CHIRP count from 1; from some radios' own programs, from 0.
constexpr int kFirstLocation = 1;
constexpr int kMostFirstLocation = 99999;

void Add(std::string& lines, const std::string& line) { lines += (lines.empty() ? "" : "\n") + line; }

std::string Lines(const std::vector<exchange::CsvProblem>& problems) {
    std::string out;
    for (const auto& p : problems) Add(out, p.text());
    return out;
}

template <class Notes>
void AddNotes(std::string& lines, const Notes& notes) {
    for (const auto& n : notes) Add(lines, n.text);
}

}  // namespace

Report Session::ImportCsv(image::Band band) {
    return command([&](image::EditorState& state) {
        const auto name = operator_.fileToOpen(base::Tr("导入CSV"), base::Tr(kCsvFilter));
        if (!name) return Report();
        const auto read = files::ReadFile(*name, exchange::kMaxCsvBytes);
        if (!read.ok()) return Report::Error(base::Tr("无法打开文件 \"%1\". %2", *name, read.message()));
        const std::string& bytes = read.value;
        const auto first = operator_.number(base::Tr("文件中的哪个位置 (Location) 是信道 1? (CHIRP 从 1 开始, 有的电台从 0 开始)"),
                                            kFirstLocation, 0, kMostFirstLocation);
        if (!first) return Report();

        auto result = exchange::ImportCsv(bytes, state, band, false, *first);
        if (!result.ok()) return Report::Error(Lines(result.problems));
        if (!result.applied) {
            // Bad rows: nothing is taken unless the operator chooses the good rows alone.
            if (!operator_.confirm(base::Tr("CSV 文件中有错误的行, 是否只导入正确的行?"), Lines(result.problems))) return Report();
            result = exchange::ImportCsv(bytes, state, band, true, *first);
            if (!result.applied) return Report();
        }
        state = result.state;
        std::string detail = base::Tr("导入 %1 个信道", result.imported.size());
        if (!result.skipped.empty()) Add(detail, base::Tr("跳过 %1 个错误的行", result.skipped.size()));
        if (!result.warnings.empty()) Add(detail, Lines(result.warnings));
        return Report::Information(base::Tr("导入成功!"), detail);
    });
}

// Exporting changes nothing: no refusal, no step; what the operator typed last goes with it.
Report Session::ExportCsv(image::Band band) {
    finishEdit();
    const exchange::CsvExport result = exchange::ExportCsv(state_, band);
    if (result.written == 0) {
        // A header alone is no file CHIRP takes: said before a file is chosen, none written.
        std::string detail =
            base::Tr("%1没有带接收频率的信道: 没有可导出的内容, 未写入文件", base::Tr(image::ChannelPageCaption(band)));
        AddNotes(detail, result.warnings);
        return Report::Error(detail);
    }
    auto name = operator_.fileToSave(base::Tr("导出CSV"), base::Tr(kCsvFilter));
    if (!name) return Report();
    const auto slash = name->find_last_of("/\\");
    const std::string base = slash == std::string::npos ? *name : name->substr(slash + 1);
    // A name without a suffix gets ".csv".
    if (base.find('.') == std::string::npos || base.back() == '.') *name += ".csv";
    const auto written = files::WriteAtomically(*name, result.text);
    if (!written.ok()) return Report::Error(base::Tr("无法创建文件 \"%1\". %2", *name, written.message()));
    std::string detail = base::Tr("导出 %1 个信道", result.written);
    AddNotes(detail, result.warnings);
    AddNotes(detail, result.olderChirp);
    AddNotes(detail, result.notCarried);
    return Report::Information(base::Tr("导出成功!"), detail);
}

}  // namespace editor
