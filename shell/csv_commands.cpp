// 导入CSV and 导出CSV: the channels of the current channel page's band in CHIRP's CSV format.
#include <QFile>
#include <QFileInfo>

#include "exchange/chirp_csv.h"
#include "files/atomic_write.h"
#include "files/read_file.h"
#include "image/channel_codec.h"
#include "shell/main_window.h"
#include "shell/prompter.h"

namespace shell {
namespace {

QString utf8(const char* s) { return QString::fromUtf8(s); }
QString utf8(const std::string& s) { return QString::fromStdString(s); }

QString lines(const std::vector<exchange::CsvProblem>& problems) {
    QStringList out;
    for (const auto& p : problems) out << utf8(p.chineseText());
    return out.join('\n');
}

constexpr const char* kCsvFilter = "CSV 文件 (*.csv)";
// Files from CHIRP count from 1; from some radios' own programs, from 0.
constexpr int kFirstLocation = 1;
constexpr int kMostFirstLocation = 99999;

}  // namespace

void TForm2::N17Click() {
    finishEditing();
    if (refuseWhileBusy()) return;
    const auto band = currentChannelBand();
    if (!band) return;
    const auto name = prompter_.openFileName(this, utf8("导入CSV"), utf8(kCsvFilter));
    if (!name) return;
    const auto read = files::ReadFile(QFile::encodeName(*name).toStdString(), exchange::kMaxCsvBytes);
    if (!read.ok()) {
        prompter_.error(this, utf8("无法打开文件 \"") + *name + "\". " + QString::fromStdString(read.message()));
        return;
    }
    const std::string* const bytes = &read.value;
    const auto first = prompter_.number(this, utf8("文件中的哪个位置 (Location) 是信道 1? (CHIRP 从 1 开始, 有的电台从 0 开始)"),
                                        kFirstLocation, 0, kMostFirstLocation);
    if (!first) return;

    auto result = exchange::ImportCsv(*bytes, state_, *band, false, *first);
    if (!result.ok()) {
        prompter_.error(this, lines(result.problems));
        return;
    }
    if (!result.applied) {
        // Bad rows: nothing is taken unless the operator chooses the good rows alone.
        if (!prompter_.question(this, utf8("CSV 文件中有错误的行, 是否只导入正确的行?"), lines(result.problems)))
            return;
        result = exchange::ImportCsv(*bytes, state_, *band, true, *first);
        if (!result.applied) return;
    }
    state_ = result.state;
    showState();
    QStringList detail;
    detail << utf8("导入 %1 个信道").arg(result.imported.size());
    if (!result.skipped.empty()) detail << utf8("跳过 %1 个错误的行").arg(result.skipped.size());
    if (!result.warnings.empty()) detail << lines(result.warnings);
    prompter_.information(this, utf8("导入成功!"), detail.join('\n'));
}

void TForm2::N18Click() {
    finishEditing();
    const auto band = currentChannelBand();
    if (!band) return;
    const exchange::CsvExport result = exchange::ExportCsv(state_, *band);
    if (result.written == 0) {
        // A header alone is no file CHIRP takes: said before a file is chosen, none written.
        QStringList detail;
        detail << utf8(image::ChannelPageCaption(*band)) + utf8("没有带接收频率的信道: 没有可导出的内容, 未写入文件");
        for (const auto& w : result.warnings) detail << utf8(w.chinese);
        prompter_.error(this, detail.join('\n'));
        return;
    }
    auto name = prompter_.saveFileName(this, utf8("导出CSV"), utf8(kCsvFilter));
    if (!name) return;
    if (QFileInfo(*name).suffix().isEmpty()) *name += ".csv";
    const auto written = files::WriteAtomically(QFile::encodeName(*name).toStdString(), result.text);
    if (!written.ok()) {
        prompter_.error(this, utf8("无法创建文件 \"") + *name + "\". " + QString::fromStdString(written.message()));
        return;
    }
    QStringList detail;
    detail << utf8("导出 %1 个信道").arg(result.written);
    for (const auto& w : result.warnings) detail << utf8(w.chinese);
    for (const auto& n : result.olderChirp) detail << utf8(n.chinese);
    for (const auto& n : result.notCarried) detail << utf8(n.chinese);
    prompter_.information(this, utf8("导出成功!"), detail.join('\n'));
}

}  // namespace shell
