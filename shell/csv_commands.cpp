// 导入CSV and 导出CSV: the channels of the current channel page's band in CHIRP's CSV format.
#include <QFile>
#include <QFileInfo>

#include "exchange/chirp_csv.h"
#include "files/atomic_write.h"
#include "files/read_file.h"
#include "shell/main_window.h"
#include "shell/prompter.h"

namespace shell {
namespace {

QString utf8(const char* s) { return QString::fromUtf8(s); }

QString lines(const std::vector<exchange::CsvProblem>& problems) {
    QStringList out;
    for (const auto& p : problems) out << QString::fromStdString(p.text());
    return out.join('\n');
}

constexpr const char* kCsvFilter = "*.csv";

}  // namespace

void TForm2::N17Click() {
    finishEditing();
    if (refuseWhileBusy()) return;
    const auto band = currentChannelBand();
    if (!band) return;
    const auto name = prompter_.openFileName(this, "Open", kCsvFilter);
    if (!name) return;
    std::string reason;
    const auto bytes = files::ReadFile(QFile::encodeName(*name).toStdString(), exchange::kMaxCsvBytes, reason);
    if (!bytes) {
        prompter_.error(this, "Cannot open file \"" + *name + "\". " + QString::fromStdString(reason));
        return;
    }

    auto result = exchange::ImportCsv(*bytes, state_, *band);
    if (result.fatal) {
        prompter_.error(this, lines(result.problems));
        return;
    }
    if (!result.applied) {
        // Bad rows: nothing is taken unless the operator chooses the good rows alone.
        if (!prompter_.question(this, utf8("CSV 文件中有错误的行, 是否只导入正确的行?"), lines(result.problems)))
            return;
        result = exchange::ImportCsv(*bytes, state_, *band, true);
        if (!result.applied) return;
    }
    state_ = result.state;
    showState();
    QStringList detail;
    detail << QString("%1 channels imported").arg(result.imported.size());
    if (!result.skipped.empty()) detail << QString("%1 bad rows skipped").arg(result.skipped.size());
    if (!result.warnings.empty()) detail << lines(result.warnings);
    prompter_.information(this, utf8("导入成功!"), detail.join('\n'));
}

void TForm2::N18Click() {
    finishEditing();
    const auto band = currentChannelBand();
    if (!band) return;
    auto name = prompter_.saveFileName(this, "Save", kCsvFilter);
    if (!name) return;
    if (QFileInfo(*name).suffix().isEmpty()) *name += ".csv";
    const exchange::CsvExport result = exchange::ExportCsv(state_, *band);
    const std::string reason = files::WriteAtomically(QFile::encodeName(*name).toStdString(), result.text);
    if (!reason.empty()) {
        prompter_.error(this, "Cannot create file \"" + *name + "\". " + QString::fromStdString(reason));
        return;
    }
    QStringList detail;
    detail << QString("%1 channels written").arg(result.written);
    for (const auto& w : result.warnings) detail << QString::fromStdString(w);
    prompter_.information(this, utf8("导出成功!"), detail.join('\n'));
}

}  // namespace shell
