// A batch of radios from one plan: the radio list's refusals, the log a rerun resumes from,
// and whole batches on virtual radios, one port in turn and several at once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <sstream>
#include <thread>

#include "base/hex.h"
#include "exchange/csv_text.h"
#include "fleet/fleet.h"
#include "image/dtmf_page.h"
#include "image/transfer.h"
#include "link/line.h"
#include "sim/virtual_radio.h"
#include "tests/short_waits.h"

namespace {

namespace fs = std::filesystem;
using sim::Bytes;

TEST(RadioList, RefusesEveryBadRowNamingItsLineAndColumn) {
    const struct {
        const char* csv;
        const char* problem;  // "" when the list is good
    } cases[] = {
        {"label,id\nA,123\nB,*#0D\n", ""},
        {"ID,Label,line2\n1234567,\"Van, blue\",\xE8\xBD\xA6\xE9\x98\x9F\n", ""},  // any order, quoted, 车队
        {"label,id\nA,12345678\n", "line 2, column id: '12345678' is no ID code"},
        {"label,id\nA,12a\n", "line 2, column id: '12a' is no ID code"},
        {"label,id\nA,\n", "line 2, column id: empty"},
        {"label,id\n,123\n", "line 2, column label: empty"},
        {"label,id,controller_id\nA,1,12E\n", "line 2, column controller_id: '12E' is no ID code"},
        {"label,id,line1\nA,1,ABCDEFGH\n", "line 2, column line1: 'ABCDEFGH' takes 8 GBK bytes"},
        {"label,id,line2\nA,1,\xE8\xBD\xA6\xE9\x98\x9F\xE8\xBD\xA6\xE9\x98\x9F\n", "line 2, column line2:"},  // 8 bytes
        {"label,id,line1\nA,1,\xF0\x9F\x93\xBB\n", "line 2, column line1: '\xF0\x9F\x93\xBB' holds a character"},
        {"label\nA\n", "line 1, column id: the header lacks this column"},
        {"label,id,colour\nA,1,red\n", "line 1, column colour: no such column"},
        {"label,id\nA,1\nB,1\n", "line 3, column id: '1' is the ID of line 2 too"},
        {"label,id\nA,1\nA,2\n", "line 3, column label: 'A' is the label of line 2 too"},
        {"label,id\nA,1,x\n", "line 2: 3 fields, the header names 2"},
        {"label,id\n\"A,1\n", "line 2: a quoted field"},
    };
    for (const auto& c : cases) {
        const auto rows = fleet::ParseRadios(c.csv);
        if (*c.problem == 0) {
            EXPECT_TRUE(rows.ok()) << c.csv << rows.error;
        } else {
            EXPECT_FALSE(rows.ok()) << c.csv;
            EXPECT_NE(rows.error.find(c.problem), std::string::npos) << c.csv << "\ngave: " << rows.error;
        }
    }
    const auto rows = fleet::ParseRadios("ID,Label,line2\n1234567,\"Van, blue\",\xE8\xBD\xA6\xE9\x98\x9F\n").value;
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].label, "Van, blue");
    EXPECT_EQ(rows[0].id, "1234567");
    EXPECT_FALSE(rows[0].controllerId);
    EXPECT_EQ(rows[0].line2.value_or(""), "\xE8\xBD\xA6\xE9\x98\x9F");
}

TEST(FleetLog, ARerunSkipsWhatIsDoneAndRefusesItsIds) {
    fleet::LogLine ok{"2024-01-01T00:00:00Z", "/dev/ttyUSB0", "Van, \"blue\"", "1", "11", "/b/x.img", "ab",
                      "ok", "1.250", ""};
    fleet::LogLine failed = ok;
    failed.label = "B";
    failed.idAfter = "22";
    failed.result = "failed";
    const std::string text = std::string(fleet::kLogHeader) + "\n" + fleet::FormatLogLine(ok) + "\n" +
                             fleet::FormatLogLine(failed) + "\n";
    EXPECT_NE(text.find("\"Van, \"\"blue\"\"\""), std::string::npos);
    const auto done = fleet::ReadLog(text);
    ASSERT_TRUE(done.ok()) << done.error;
    EXPECT_EQ(done.value.labels, (std::set<std::string>{"Van, \"blue\""}));
    EXPECT_EQ(done.value.ids, (std::set<std::string>{"11"}));

    const auto rows = fleet::ParseRadios("label,id\n\"Van, \"\"blue\"\"\",11\nB,22\nC,33\n").value;
    const auto todo = fleet::RowsToDo(rows, done.value);
    ASSERT_TRUE(todo.ok()) << todo.error;
    ASSERT_EQ(todo.value.size(), 2u);
    EXPECT_EQ(todo.value[0].label, "B");
    const auto clash = fleet::RowsToDo(fleet::ParseRadios("label,id\nD,11\n").value, done.value);
    EXPECT_NE(clash.error.find("line 2, column id: '11'"), std::string::npos) << clash.error;
    EXPECT_FALSE(fleet::ReadLog("time,port\n").ok());
    fleet::Log log;
    EXPECT_FALSE(fleet::Log::Open(log, "/nonexistent-folder/log.csv").ok()) << "refused before any radio";
}

// The radios' own bytes, set apart from the plan's: limits, switch, remote state, controller ID.
constexpr std::uint16_t kLimits = 0x02E0, kRemote = 0x02C0, kIdCodes = 0x0280;

struct Radio {
    std::string label, id;
    std::string fault;
    Bytes memory;
    std::unique_ptr<sim::VirtualRadio> virtualRadio;  // the last one connected
};

// The plan: the sample programming, with limits and a remote state no radio has.
image::EditorState Plan() {
    sim::RadioOptions options;
    options.pacing = false;
    sim::VirtualRadio source(options);
    radiolink::Line line(radiolink::LineSettings{ShortWaits()});
    EXPECT_TRUE(line.open(source.slavePath()).ok());
    image::EditorState plan;
    EXPECT_TRUE(radiolink::ReadRadio(line.radio(), plan).ok());
    plan.k[11] = "00CF8500010980C002625A0002DC6C0000";
    plan.dtmf.sypz9 = 0;
    return plan;
}

Bytes OwnMemory(int n) {
    Bytes memory = sim::sampleImage();
    const std::uint8_t limits[17] = {0x00, 0xD0, 0x00, 0x00, 0x01, 0x0A, 0x00, 0x00, 0x02, 0x63,
                                     0x00, 0x00, 0x02, 0xDD, 0x00, static_cast<std::uint8_t>(n), 0x01};
    std::copy(std::begin(limits), std::end(limits), memory.begin() + kLimits);
    memory[kRemote] = static_cast<std::uint8_t>(n % 3);
    const auto controller = base::HexToBytes(image::DtmfTextToCode8("9" + std::to_string(n))).value;
    std::copy(controller.begin(), controller.end(), memory.begin() + kIdCodes + 8);
    return memory;
}

// Ports whose radios the test connects: each radio asked for gets a virtual radio of its
// own, with its memory and fault, on a line opened afresh (as a cable moved to the next).
class Bench {
public:
    struct Port : fleet::Station {
        Bench* bench;
        std::string port;
        std::unique_ptr<radiolink::Line> line;
        std::string name() const override { return port; }
        radiolink::Radio* awaitRadio(const fleet::RadioRow& row, const std::atomic<bool>&) override {
            Radio& r = bench->connect(row.label);
            line = std::make_unique<radiolink::Line>(radiolink::LineSettings{ShortWaits()});
            if (!line->open(r.virtualRadio->slavePath()).ok()) return nullptr;
            return &line->radio();
        }
    };

    Bench(int radios, int ports, std::map<int, std::string> faults = {}) {
        dir_ = fs::temp_directory_path() /
               ("fleet-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ::setenv("RADIO_BACKUP_DIR", (dir_ / "backups").c_str(), 1);
        std::string csv = "label,line1,id\n";
        for (int n = 0; n < radios; ++n) {
            radios_.push_back({"R" + std::to_string(n), std::to_string(1000 + n), faults[n], OwnMemory(n), nullptr});
            csv += "R" + std::to_string(n) + ",FLEET" + std::to_string(n) + "," + std::to_string(1000 + n) + "\n";
        }
        rows = fleet::ParseRadios(csv).value;
        for (int p = 0; p < ports; ++p) {
            auto port = std::make_unique<Port>();
            port->bench = this;
            port->port = "port" + std::to_string(p);
            ports_.push_back(std::move(port));
        }
    }
    ~Bench() {
        ports_.clear();
        ::unsetenv("RADIO_BACKUP_DIR");
        fs::remove_all(dir_);
    }

    Radio& connect(const std::string& label) {
        std::lock_guard<std::mutex> lock(mutex_);
        asked.push_back(label);
        Radio& r = radio(label);
        if (r.virtualRadio) r.memory = r.virtualRadio->memory();
        sim::RadioOptions o;
        o.pacing = false;
        o.turnaround = std::chrono::microseconds(0);  // thirteen radios of three passes each
        o.fault = sim::FaultPlan::Parse(r.fault).value;
        r.virtualRadio = std::make_unique<sim::VirtualRadio>(o, r.memory);
        return r;
    }
    Radio& radio(const std::string& label) {
        return *std::find_if(radios_.begin(), radios_.end(), [&](const Radio& r) { return r.label == label; });
    }
    std::vector<Radio>& radios() { return radios_; }

    fleet::Summary run(const image::EditorState& plan, const std::vector<fleet::RadioRow>& todo,
                       fleet::Settings settings = {}, fleet::Callbacks callbacks = {}) {
        std::vector<fleet::Station*> stations;
        for (auto& p : ports_) stations.push_back(p.get());
        for (auto& p : ports_) p->line.reset();
        return fleet::Run(plan, todo, stations, log, settings, callbacks, stop);
    }
    base::Outcome<fleet::Done> openLog() { return fleet::Log::Open(log, (dir_ / "log.csv").string()); }
    std::vector<std::vector<std::string>> logLines() const {
        std::ifstream in(dir_ / "log.csv");
        std::stringstream text;
        text << in.rdbuf();
        std::vector<std::vector<std::string>> lines;
        for (auto& record : exchange::ParseCsvRecords(text.str()).records) lines.push_back(record.fields);
        return lines;
    }
    std::size_t backups() const {
        std::size_t n = 0;
        for (const auto& e : fs::directory_iterator(dir_ / "backups")) n += e.path().extension() == ".img";
        return n;
    }

    std::vector<fleet::RadioRow> rows;
    std::vector<std::string> asked;
    fleet::Log log;
    std::atomic<bool> stop{false};

private:
    fs::path dir_;
    std::mutex mutex_;
    std::vector<Radio> radios_;
    std::vector<std::unique_ptr<Port>> ports_;
};

Bytes slice(const Bytes& memory, std::uint16_t address, std::size_t length) {
    return Bytes(memory.begin() + address, memory.begin() + address + static_cast<std::ptrdiff_t>(length));
}

// Ten radios on one port, three of them faulty: silent during the backup read, refusing a
// write frame, their cable pulled. The rest programmed, each with its own ID; what belongs to
// each radio kept; a rerun does the three alone.
TEST(FleetBatch, TenRadiosInTurnThreeFailingThenARerunDoesTheThree) {
    Bench bench(10, 1, {{2, "silent-from:60"}, {5, "wrong-ack@20"}, {8, "vanish-at:100"}});
    const image::EditorState plan = Plan();
    ASSERT_TRUE(bench.openLog().ok());
    const fleet::Summary first = bench.run(plan, bench.rows);
    EXPECT_EQ(first.programmed.size(), 7u);
    EXPECT_EQ(first.failed, (std::vector<std::string>{"R2", "R5", "R8"}));
    EXPECT_TRUE(first.log.ok()) << first.log.error;

    const auto lines = bench.logLines();
    ASSERT_EQ(lines.size(), 11u);
    EXPECT_EQ(lines[0].size(), 10u);
    std::map<std::string, std::string> result;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        ASSERT_GE(lines[i].size(), 10u);
        result[lines[i][2]] = lines[i][7];
        const bool ok = lines[i][7] == "ok";
        if (ok) {
            EXPECT_EQ(lines[i][6].size(), 64u) << "sha256";
        }
        EXPECT_EQ(lines[i][4].empty(), lines[i][2] == "R2" || lines[i][2] == "R8") << "id_after of " << lines[i][2];
        EXPECT_EQ(lines[i][9].empty(), ok) << lines[i][9];
        EXPECT_NE(lines[i][8].find('.'), std::string::npos);
    }
    EXPECT_EQ(result["R2"], "failed");
    EXPECT_NE(lines[3][9].find("备份读取: "), std::string::npos) << lines[3][9];
    EXPECT_NE(lines[6][9].find("写入: "), std::string::npos) << lines[6][9];
    EXPECT_EQ(bench.backups(), 10u);

    for (auto& r : bench.radios()) {
        const Bytes memory = r.virtualRadio->memory();
        const Bytes own = OwnMemory(std::stoi(r.label.substr(1)));
        EXPECT_EQ(slice(memory, kLimits, 17), slice(own, kLimits, 17)) << r.label;
        EXPECT_EQ(memory[kRemote], own[kRemote]) << r.label;
        EXPECT_EQ(slice(memory, kIdCodes + 8, 8), slice(own, kIdCodes + 8, 8)) << r.label << ": controller ID";
        if (result[r.label] == "ok") {
            EXPECT_EQ(base::BytesToHex(slice(memory, kIdCodes, 8)), image::DtmfTextToCode8(r.id)) << r.label;
            EXPECT_EQ(memory[0x02D0], 6) << r.label << ": power-on line 1 from its row";
        }
    }

    // The rerun: the faults mended, the plan's limits this time; only the three are asked for.
    for (const char* label : {"R2", "R5", "R8"}) bench.radio(label).fault.clear();
    bench.asked.clear();
    const auto done = bench.openLog();
    ASSERT_TRUE(done.ok());
    const auto todo = fleet::RowsToDo(bench.rows, done.value);
    ASSERT_TRUE(todo.ok());
    const fleet::Summary second = bench.run(plan, todo.value, fleet::Settings{true});
    EXPECT_EQ(bench.asked, (std::vector<std::string>{"R2", "R5", "R8"}));
    EXPECT_EQ(second.programmed.size(), 3u);
    EXPECT_TRUE(second.allOk());
    EXPECT_EQ(bench.logLines().size(), 14u);
    EXPECT_EQ(base::BytesToHex(slice(bench.radio("R5").virtualRadio->memory(), kLimits, 17)), plan.k[11]);
    std::set<Bytes> ids;
    for (auto& r : bench.radios()) ids.insert(slice(r.virtualRadio->memory(), kIdCodes, 8));
    EXPECT_EQ(ids.size(), 10u) << "no two radios share an ID";
}

// Several ports at once: each radio's frames are one clean run of the three passes, and its
// memory holds its own ID.
TEST(FleetBatch, PortsInParallelKeepEachRadiosFramesApart) {
    for (int ports : {2, 4}) {
        Bench bench(2 * ports, ports);
        ASSERT_TRUE(bench.openLog().ok());
        std::vector<std::string> expected;
        const auto& list = image::TransferList();
        for (const char* pass : {"READ", "WRIE", "READ"}) {
            expected.push_back("PROM_LIN");
            for (const auto& b : list)
                expected.push_back(std::string(pass) + base::hexDigits(b.address, 4) + base::hexDigits(b.length, 4));
            expected.push_back("EXIT");
        }
        const fleet::Summary summary = bench.run(Plan(), bench.rows);
        EXPECT_TRUE(summary.allOk()) << ports << " ports";
        for (auto& r : bench.radios()) {
            std::vector<std::string> frames;
            for (const auto& f : r.virtualRadio->frames()) {
                const bool header = f.size() >= 8 && (f[0] == 'R' || f[0] == 'W');
                frames.push_back(header ? std::string(f.begin(), f.begin() + 4) +
                                              base::BytesToHex(Bytes(f.begin() + 4, f.begin() + 8))
                                        : std::string(f.begin(), f.end()));
            }
            EXPECT_EQ(frames, expected) << r.label << " on " << ports << " ports";
            EXPECT_EQ(base::BytesToHex(slice(r.virtualRadio->memory(), kIdCodes, 8)), image::DtmfTextToCode8(r.id));
        }
    }
}

// A stop during the write: the radio is left with "EXIT", the log says where it stopped.
TEST(FleetBatch, AStopEndsTheRadiosInProgressAtABlockBoundary) {
    Bench bench(3, 1);
    ASSERT_TRUE(bench.openLog().ok());
    fleet::Callbacks callbacks;
    callbacks.progress = [&](const std::string&, const fleet::RadioRow&, radiolink::Step step, int done) {
        if (step == radiolink::Step::Write && done == 50) bench.stop.store(true);
    };
    const fleet::Summary summary = bench.run(Plan(), bench.rows, {}, callbacks);
    EXPECT_EQ(summary.interrupted, (std::vector<std::string>{"R0"}));
    EXPECT_EQ(summary.notStarted, (std::vector<std::string>{"R1", "R2"}));
    const auto lines = bench.logLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1][7], "interrupted");
    EXPECT_NE(lines[1][9].find("写入: "), std::string::npos) << lines[1][9];
    EXPECT_NE(lines[1][9].find("完成 50 / 136"), std::string::npos) << lines[1][9];
    const auto frames = bench.radio("R0").virtualRadio->frames();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(std::string(frames.back().begin(), frames.back().end()), "EXIT");
}

}  // namespace

namespace {

// One port without a terminal: the radio on the line is taken when it answers; after one was
// programmed, only once it has left the line and another answers.
TEST(FleetPort, TakesTheNextRadioWhenItAnswersAfterTheLastHasGone) {
    sim::RadioOptions options;
    options.pacing = false;
    sim::VirtualRadio radio(options);
    radiolink::Line line(radiolink::LineSettings{ShortWaits()});
    ASSERT_TRUE(line.open(radio.slavePath()).ok());
    std::atomic<bool> stop{false};
    using namespace std::chrono_literals;
    EXPECT_TRUE(fleet::WaitForAnswer(line.radio(), stop, false, 100ms));

    // The radio programmed stays on the line a while, is taken off, and the next comes.
    std::atomic<int> phase{0};
    std::thread cable([&] {
        std::this_thread::sleep_for(600ms);
        radio.setFault(sim::FaultPlan::Parse("off").value);
        phase = 1;
        std::this_thread::sleep_for(600ms);
        radio.setFault({});
        phase = 2;
    });
    EXPECT_TRUE(fleet::WaitForAnswer(line.radio(), stop, true, 100ms));
    EXPECT_EQ(phase.load(), 2);
    cable.join();

    // Nothing answering: a stop ends the wait.
    radio.setFault(sim::FaultPlan::Parse("off").value);
    std::thread stopper([&] {
        std::this_thread::sleep_for(300ms);
        stop = true;
    });
    EXPECT_FALSE(fleet::WaitForAnswer(line.radio(), stop, false, 100ms));
    stopper.join();
}

}  // namespace
