#include "shell/fleet_dialog.h"

#include <algorithm>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QShortcut>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "exchange/csv_text.h"
#include "files/read_file.h"
#include "fleet/fleet.h"
#include "fleet/line_station.h"
#include "shell/accessible.h"
#include "shell/path_bytes.h"
#include "shell/prompter.h"
#include "shell/qt_text.h"

namespace shell {

namespace {

// The table's columns: the list's five (in the CSV header's order), then what the batch tells.
constexpr const char* kHeadings[] = {"标签", "本机ID码", "主控ID码", "开机信息1", "开机信息2", "端口", "结果"};
constexpr int kListColumns = 5;
constexpr int kPortColumn = 5;
constexpr int kResultColumn = 6;
constexpr std::size_t kMaxListBytes = 4u << 20;

// What a radio's row tells while a step runs: "写入 12 块".
const char* stepPattern(radiolink::Step step) {
    switch (step) {
        case radiolink::Step::Backup: return "备份读取 %1 块";
        case radiolink::Step::Write: return "写入 %1 块";
        case radiolink::Step::Verify: return "校验 %1 块";
    }
    return "";
}

std::string labels(const std::vector<std::string>& list) {
    std::string names;
    for (const auto& l : list) names += (names.empty() ? "" : ", ") + l;
    return names;
}

}  // namespace

struct FleetDialog::Batch {
    std::vector<std::unique_ptr<fleet::LineStation>> stations;
    fleet::Log log;
    std::vector<fleet::RadioRow> rows;
};

FleetDialog::FleetDialog(QWidget* parent, Prompter& prompter, image::EditorState plan,
                         const std::vector<std::string>& ports,
                         const std::function<std::string(const std::string&)>& label, const std::string& selected)
    : QDialog(parent), prompter_(prompter), plan_(std::move(plan)) {
    setObjectName("FleetDialog");
    setWindowTitle(Say("批量写频"));
    resize(780, 560);
    auto* layout = new QVBoxLayout(this);

    auto* tableLabel = new QLabel(Say("电台列表: 每行一台, 可直接输入、粘贴 (Ctrl+V) 或导入 CSV 文件。"
                                       "主控ID码和开机信息留空时保留电台自己的。"),
                                  this);
    layout->addWidget(tableLabel);
    table_ = new QTableWidget(0, static_cast<int>(std::size(kHeadings)), this);
    table_->setObjectName("Radios");
    tableLabel->setBuddy(table_);
    for (int c = 0; c < table_->columnCount(); ++c)
        table_->setHorizontalHeaderItem(c, new QTableWidgetItem(Say(kHeadings[c])));
    table_->horizontalHeader()->setStretchLastSection(true);
    // Every heading shows whole, in either language; the result takes what is left.
    for (int c = 0; c + 1 < table_->columnCount(); ++c)
        table_->setColumnWidth(c, std::max(table_->columnWidth(c), table_->horizontalHeader()->sectionSizeHint(c)));
    layout->addWidget(table_, 1);
    auto* paste = new QShortcut(QKeySequence::Paste, table_, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(paste, &QShortcut::activated, this, &FleetDialog::paste);

    auto* rowButtons = new QHBoxLayout;
    auto* add = new QPushButton(Say("添加(&A)"), this);
    auto* remove = new QPushButton(Say("删除(&D)"), this);
    auto* load = new QPushButton(Say("导入CSV(&I)..."), this);
    for (auto* b : {add, remove, load}) {
        b->setAutoDefault(false);
        rowButtons->addWidget(b);
    }
    rowButtons->addStretch(1);
    layout->addLayout(rowButtons);
    connect(add, &QPushButton::clicked, this, [this] { addRow(); });
    connect(remove, &QPushButton::clicked, this, [this] {
        if (!running() && table_->currentRow() >= 0) table_->removeRow(table_->currentRow());
    });
    connect(load, &QPushButton::clicked, this, [this] {
        if (const auto path = prompter_.openFileName(this, Say("导入电台列表"), Say("CSV 文件 (*.csv)")))
            loadRadios(PathBytes(*path));
    });

    auto* portLabel = new QLabel(Say("端口 (可选多个: 每个端口同时写一台):"), this);
    layout->addWidget(portLabel);
    portList_ = new QListWidget(this);
    portList_->setObjectName("Ports");
    portLabel->setBuddy(portList_);
    portList_->setMaximumHeight(90);
    for (const auto& name : ports) {
        auto* item = new QListWidgetItem(text(label(name)), portList_);
        item->setData(Qt::UserRole, text(name));
        item->setCheckState(name == selected ? Qt::Checked : Qt::Unchecked);
    }
    layout->addWidget(portList_);

    auto* logRow = new QHBoxLayout;
    auto* logLabel = new QLabel(Say("日志文件:"), this);
    logRow->addWidget(logLabel);
    logEdit_ = new QLineEdit(this);
    logEdit_->setObjectName("LogFile");
    logLabel->setBuddy(logEdit_);
    logEdit_->setToolTip(Say("每台电台写完即记一行; 用同一个日志再运行, 已成功的电台跳过"));
    logRow->addWidget(logEdit_, 1);
    auto* choose = new QPushButton(Say("选择(&L)..."), this);
    choose->setAutoDefault(false);
    logRow->addWidget(choose);
    layout->addLayout(logRow);
    connect(choose, &QPushButton::clicked, this, [this] {
        if (const auto path = prompter_.saveFileName(this, Say("日志文件"), Say("CSV 文件 (*.csv)")))
            logEdit_->setText(*path);
    });

    planLimits_ = new QCheckBox(Say("使用方案的频段限制 (不选: 每台保留自己的限频)"), this);
    layout->addWidget(planLimits_);
    summary_ = new QLabel(this);
    summary_->setObjectName("Summary");
    layout->addWidget(summary_);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    start_ = new QPushButton(Say("开始(&S)"), this);
    stop_ = new QPushButton(Say("停止(&T)"), this);
    auto* close = new QPushButton(Say("关闭"), this);
    start_->setDefault(true);
    start_->setAccessibleDescription(Say("把当前编辑的数据依次写入列表中的每台电台"));
    stop_->setEnabled(false);
    for (auto* b : {start_, stop_, close}) buttons->addWidget(b);
    layout->addLayout(buttons);
    connect(start_, &QPushButton::clicked, this, &FleetDialog::Start);
    connect(stop_, &QPushButton::clicked, this, &FleetDialog::Stop);
    connect(close, &QPushButton::clicked, this, &FleetDialog::close);
    addRow();
    NameControls(this);
    // The dialog opens in the list of radios, the first thing to fill in.
    table_->setFocus(Qt::OtherFocusReason);
}

FleetDialog::~FleetDialog() {
    stopAsked_ = true;
    if (worker_.joinable()) worker_.join();
}

void FleetDialog::addRow(const std::vector<QString>& cells) {
    const int row = table_->rowCount();
    table_->insertRow(row);
    for (int c = 0; c < table_->columnCount(); ++c) {
        auto* item = new QTableWidgetItem(c < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(c)] : QString());
        if (c >= kListColumns) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        table_->setItem(row, c, item);
    }
}

// Rows of a spreadsheet (tab-separated) or of a CSV file's lines, from the current cell on.
void FleetDialog::paste() {
    if (running()) return;
    const QString clip = QApplication::clipboard()->text();
    int row = std::max(table_->currentRow(), 0);
    const int column = std::max(table_->currentColumn(), 0);
    for (const QString& line : clip.split('\n')) {
        const QString trimmed = QString(line).remove('\r');
        if (trimmed.trimmed().isEmpty()) continue;
        const QStringList cells = trimmed.split(trimmed.contains('\t') ? '\t' : ',');
        while (row >= table_->rowCount()) addRow();
        for (int i = 0; i < cells.size() && column + i < kListColumns; ++i)
            table_->item(row, column + i)->setText(cells[i].trimmed());
        ++row;
    }
}

bool FleetDialog::loadRadios(const std::string& path) {
    const auto read = files::ReadFile(path, kMaxListBytes);
    if (!read.ok()) {
        prompter_.error(this, text(path + ": " + read.message()));
        return false;
    }
    const auto rows = fleet::ParseRadios(read.value);
    if (!rows.ok()) {
        prompter_.error(this, Say("电台列表有错误:\n%1", rows.message()));
        return false;
    }
    table_->setRowCount(0);
    for (const auto& r : rows.value)
        addRow({text(r.label), text(r.id), text(r.controllerId.value_or("")), text(r.line1.value_or("")),
                text(r.line2.value_or(""))});
    return true;
}

std::string FleetDialog::radiosCsv() const {
    std::string csv = "label,id,controller_id,line1,line2\n";
    for (int r = 0; r < table_->rowCount(); ++r) {
        for (int c = 0; c < kListColumns; ++c)
            csv += (c ? "," : "") + exchange::CsvField(table_->item(r, c)->text().trimmed().toStdString());
        csv += "\n";
    }
    return csv;
}

int FleetDialog::rowOf(const std::string& label) const {
    for (int r = 0; r < table_->rowCount(); ++r)
        if (table_->item(r, 0)->text().trimmed() == text(label)) return r;
    return -1;
}

void FleetDialog::showStatus(const std::string& label, const QString& port, const QString& status) {
    const int row = rowOf(label);
    if (row < 0) return;
    if (!port.isNull()) table_->item(row, kPortColumn)->setText(port);
    table_->item(row, kResultColumn)->setText(status);
}

bool FleetDialog::Start() {
    if (running()) return false;
    // Rows left empty are no radios.
    for (int r = table_->rowCount() - 1; r >= 0; --r) {
        bool empty = true;
        for (int c = 0; c < kListColumns; ++c) empty = empty && table_->item(r, c)->text().trimmed().isEmpty();
        if (empty) table_->removeRow(r);
    }
    const auto rows = fleet::ParseRadios(radiosCsv());
    if (!rows.ok()) {
        // The message counts lines as a file would: its header is line 1, table row N line N+1.
        prompter_.error(this, Say("电台列表有错误 (表格第 N 行即第 N+1 行):\n%1", rows.message()));
        return false;
    }
    if (logEdit_->text().trimmed().isEmpty()) {
        prompter_.error(this, Say("请选择日志文件"));
        return false;
    }
    std::vector<std::string> ports;
    for (int i = 0; i < portList_->count(); ++i)
        if (portList_->item(i)->checkState() == Qt::Checked)
            ports.push_back(portList_->item(i)->data(Qt::UserRole).toString().toStdString());
    if (ports.empty()) {
        prompter_.error(this, Say("请选择至少一个端口"));
        return false;
    }

    auto batch = std::make_unique<Batch>();
    const auto done = fleet::Log::Open(batch->log, PathBytes(logEdit_->text().trimmed()));
    if (!done.ok()) {
        prompter_.error(this, Say("日志文件不能用: %1", done.message()));
        return false;
    }
    const auto todo = fleet::RowsToDo(rows.value, done.value);
    if (!todo.ok()) {
        prompter_.error(this, Say("电台列表与日志冲突:\n%1", todo.message()));
        return false;
    }
    batch->rows = todo.value;
    // Told on a worker's thread; shown on this one.
    auto onWindow = [this](std::function<void()> show) { QMetaObject::invokeMethod(this, std::move(show), Qt::QueuedConnection); };
    for (const auto& port : ports) {
        auto station = std::make_unique<fleet::LineStation>(
            port, radiolink::LineSettings{}, [onWindow, this](const std::string& p, const fleet::RadioRow& row) {
                onWindow([this, p, label = row.label] { showStatus(label, text(p), Say("请接上电台, 等它回应...")); });
            });
        if (const auto opened = station->open(); !opened.ok()) {
            prompter_.error(this, text(port + ": " + opened.message()));
            return false;
        }
        batch->stations.push_back(std::move(station));
    }

    for (int r = 0; r < table_->rowCount(); ++r) {
        const std::string label = table_->item(r, 0)->text().trimmed().toStdString();
        const bool skipped = done.value.labels.count(label) != 0;
        table_->item(r, kPortColumn)->setText({});
        table_->item(r, kResultColumn)->setText(skipped ? Say("已写好 (日志), 跳过") : Say("等待"));
    }
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    start_->setEnabled(false);
    stop_->setEnabled(true);
    summary_->setText(Say("正在写频: %1 台", batch->rows.size()));
    stopAsked_ = false;

    fleet::Callbacks callbacks;
    callbacks.started = [onWindow, this](const std::string& port, const fleet::RadioRow& row) {
        onWindow([this, p = port, label = row.label] { showStatus(label, text(p), Say("开始")); });
    };
    callbacks.progress = [onWindow, this](const std::string&, const fleet::RadioRow& row, radiolink::Step step,
                                          int blocks) {
        onWindow([this, label = row.label, step, blocks] {
            showStatus(label, QString(), Say(stepPattern(step), blocks));
        });
    };
    callbacks.finished = [onWindow, this](const fleet::LogLine& line) {
        QString status = line.result == "ok"            ? Say("成功 (%1 秒)", line.seconds)
                         : line.result == "interrupted" ? Say("已中断: %1", line.detail)
                                                        : Say("失败: %1", line.detail);
        onWindow([this, label = line.label, status] { showStatus(label, QString(), status); });
    };
    const fleet::Settings settings{planLimits_->isChecked()};
    batch_ = std::move(batch);
    worker_ = std::thread([this, callbacks, settings, onWindow] {
        std::vector<fleet::Station*> stations;
        for (auto& s : batch_->stations) stations.push_back(s.get());
        auto summary = std::make_shared<fleet::Summary>(
            fleet::Run(plan_, batch_->rows, stations, batch_->log, settings, callbacks, stopAsked_));
        onWindow([this, summary] { finished(*summary); });
    });
    return true;
}

void FleetDialog::Stop() {
    if (!running()) return;
    stopAsked_ = true;
    stop_->setEnabled(false);
    summary_->setText(Say("正在停止: 写到一块的末尾, 发出 EXIT..."));
}

void FleetDialog::finished(const fleet::Summary& summary) {
    if (worker_.joinable()) worker_.join();
    batch_.reset();  // the ports close
    QString verdict = summary.failed.empty()
                          ? Say("%1 台成功, %2 台失败", summary.programmed.size(), summary.failed.size())
                          : Say("%1 台成功, %2 台失败 (%3)", summary.programmed.size(), summary.failed.size(),
                                labels(summary.failed));
    if (!summary.interrupted.empty())
        verdict += Say(", %1 台中断 (%2)", summary.interrupted.size(), labels(summary.interrupted));
    if (!summary.notStarted.empty())
        verdict += Say(", %1 台未开始 (%2)", summary.notStarted.size(), labels(summary.notStarted));
    if (!summary.log.ok()) verdict += Say("\n日志不能保存, 已停止: %1", summary.log.message());
    summary_->setText(verdict);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    start_->setEnabled(true);
    stop_->setEnabled(false);
    emit ended();
    if (closeWhenEnded_) {
        QDialog::reject();
        return;
    }
    prompter_.information(this, verdict, Say("日志: %1", logEdit_->text().toStdString()));
}

void FleetDialog::waitForEnd() {
    while (running()) {
        QEventLoop pause;
        QTimer::singleShot(20, &pause, &QEventLoop::quit);
        pause.exec();
    }
}

// Closing while a batch runs stops it as 停止 does, and the dialog closes once it has ended.
void FleetDialog::closeEvent(QCloseEvent* event) {
    if (running()) {
        closeWhenEnded_ = true;
        Stop();
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void FleetDialog::reject() {
    if (running()) {
        closeWhenEnded_ = true;
        Stop();
        return;
    }
    QDialog::reject();
}

}  // namespace shell
