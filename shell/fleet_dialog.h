// 批量写频: the open codeplug as the plan, programmed into a list of radios, each with its own
// ID code, on one or several ports at once; each radio read (its backup kept), written and
// verified, and logged. The batch runs on ports of its own (fleet::LineStation), on a thread,
// so the editor keeps its state; what the table shows is what the batch tells.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <QDialog>

#include "image/editor_state.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableWidget;

namespace fleet {
struct LogLine;
struct RadioRow;
struct Summary;
}  // namespace fleet

namespace shell {

class Prompter;

class FleetDialog : public QDialog {
    Q_OBJECT
public:
    // `ports` as the port bar lists them, `label` what the list shows for one; `selected` is
    // ticked at first.
    FleetDialog(QWidget* parent, Prompter& prompter, image::EditorState plan, const std::vector<std::string>& ports,
                const std::function<std::string(const std::string&)>& label, const std::string& selected);
    ~FleetDialog() override;

    QTableWidget* radios() const { return table_; }
    QLineEdit* logFile() const { return logEdit_; }
    QListWidget* ports() const { return portList_; }
    QPushButton* startButton() const { return start_; }
    bool running() const { return worker_.joinable(); }

    // 导入: the radio list from a CSV file with the header label,id,controller_id,line1,line2.
    bool loadRadios(const std::string& path);
    // 开始: checks the list, the log and the ports, then programs; false when refused.
    bool Start();
    // 停止: the radios in progress stop at the next block boundary with "EXIT" sent.
    void Stop();
    // Waits until the batch has ended (its summary shown); for a caller that must.
    void waitForEnd();

signals:
    void ended();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void addRow(const std::vector<QString>& cells = {});
    void paste();
    std::string radiosCsv() const;
    int rowOf(const std::string& label) const;
    void showStatus(const std::string& label, const QString& port, const QString& status);
    void finished(const fleet::Summary& summary);

    Prompter& prompter_;
    const image::EditorState plan_;
    QTableWidget* table_ = nullptr;
    QListWidget* portList_ = nullptr;
    QLineEdit* logEdit_ = nullptr;
    QCheckBox* planLimits_ = nullptr;
    QLabel* summary_ = nullptr;
    QPushButton* start_ = nullptr;
    QPushButton* stop_ = nullptr;
    std::atomic<bool> stopAsked_{false};
    std::thread worker_;
    bool closeWhenEnded_ = false;
    struct Batch;  // the run's ports, log and rows, kept until it has ended
    std::unique_ptr<Batch> batch_;
};

}  // namespace shell
