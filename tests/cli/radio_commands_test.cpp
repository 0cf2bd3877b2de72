// radio-cli's radio commands against a virtual radio that takes its bytes off the line late:
// exit codes, verdicts, backups, and "EXIT" on the line after every run, whatever its end.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

#include "image/transfer.h"
#include "sim/virtual_radio.h"
#include "tests/codeplug/helpers.h"
#include "tests/short_waits.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using cptest::ReadAll;

struct Outcome {
    int status;  // the exit status, or 128 + the signal that killed it
    std::string out, err;
};

class RadioCommands : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("radio-cli-radio-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        ::setenv("RADIO_BACKUP_DIR", (dir_ / "backups").c_str(), 1);
        const radiolink::Timing t = ShortWaits();
        const std::string waits = std::to_string(t.promLinWait.count()) + "," + std::to_string(t.frameTimeout.count()) +
                                  "," + std::to_string(t.singleBlockWait.count()) + "," +
                                  std::to_string(t.afterExit.count());
        ::setenv("RADIO_WAITS_MS", waits.c_str(), 1);
        sim::RadioOptions o;
        o.pacing = false;
        o.readLag = 2ms;  // a radio busy with something else (LineEnd tries longer lags)
        o.onFrame = [this](const std::vector<std::uint8_t>& frame) {
            if (frame.at(0) == 'W') ++writes_;
            if (frame.at(0) == 'R') ++reads_;
        };
        radio_ = std::make_unique<sim::VirtualRadio>(o);
        ASSERT_EQ(run("new " + In("x.bc")).status, 0);
    }
    void TearDown() override {
        radio_.reset();
        ::unsetenv("RADIO_BACKUP_DIR");
        ::unsetenv("RADIO_WAITS_MS");
        fs::remove_all(dir_);
    }
    std::string In(const std::string& name) const { return (dir_ / name).string(); }
    std::string port() const { return " --port " + radio_->slavePath(); }

    // Runs radio-cli; `whileRunning` is called every 2 ms with the child's pid.
    Outcome run(const std::string& args, const std::function<void(pid_t)>& whileRunning = {}) {
        const std::string command = "exec '" RADIO_CLI "' " + args + " >'" + In("out") + "' 2>'" + In("err") + "'";
        const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0) return {-1, {}, {}};
        int raw = 0;
        while (::waitpid(pid, &raw, WNOHANG) == 0) {
            if (whileRunning) whileRunning(pid);
            std::this_thread::sleep_for(2ms);
        }
        const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return {status, ReadAll(In("out")), ReadAll(In("err"))};
    }

    // The radio's last frame is "EXIT" (it may still be taking it off the line).
    void expectExitLast() {
        const auto deadline = std::chrono::steady_clock::now() + 2s;
        auto last = [this] {
            const auto frames = radio_->frames();
            return frames.empty() ? std::string() : std::string(frames.back().begin(), frames.back().end());
        };
        while (last() != "EXIT" && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(2ms);
        EXPECT_EQ(last(), "EXIT");
        EXPECT_FALSE(radio_->programming());
    }

    // The command succeeds with its one verdict, nothing else on stdout, and "EXIT" last.
    void expectSuccess(const std::string& args, const std::string& verdict) {
        SCOPED_TRACE(args);
        radio_->clearReceived();
        const Outcome r = run(args + port());
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out, verdict);
        expectExitLast();
    }

    std::vector<fs::path> backups() const {
        std::vector<fs::path> out;
        std::error_code ec;
        for (const auto& e : fs::directory_iterator(dir_ / "backups", ec)) out.push_back(e.path());
        std::sort(out.begin(), out.end());
        return out;
    }

    fs::path dir_;
    std::unique_ptr<sim::VirtualRadio> radio_;
    std::atomic<int> writes_{0}, reads_{0};
};

struct Case {
    std::string args, verdict;
};

TEST_F(RadioCommands, EveryFullTransferEndsWithExitAndItsVerdict) {
    const Case cases[] = {
        {"read --out " + In("r.bc") + " --raw " + In("r.img"), "读取成功!\n"},
        {"write --in " + In("r.bc") + " --verify", "写频正确!\n"},
        {"restore " + In("r.img"), "写频正确!\n"},
    };
    for (const auto& c : cases) expectSuccess(c.args, c.verdict);
    // The read and the write's backup each left a complete backup; the read its codeplug.
    ASSERT_EQ(backups().size(), 2u);
    for (const auto& b : backups()) EXPECT_EQ(fs::file_size(b), image::kImageSize);
    EXPECT_TRUE(fs::exists(In("r.bc")));
}

TEST_F(RadioCommands, EverySingleBlockTransferEndsWithExitAndItsVerdict) {
    const Case cases[] = {
        {"read-message --file " + In("x.bc"), "读取成功!\n"},
        {"read-limits --file " + In("x.bc"), "读取成功!\n"},
        {"write-message --file " + In("x.bc"), "写入成功!\n"},
        {"write-limits --file " + In("x.bc"), "写入成功!\n"},
    };
    for (const auto& c : cases) expectSuccess(c.args, c.verdict);
    EXPECT_TRUE(backups().empty());  // a single block keeps no backup
}

TEST_F(RadioCommands, EveryFailureEndsWithExitAndSaysWhere) {
    radio_->setFault(*sim::FaultPlan::Parse("silent-from:3"));
    Outcome r = run("read --out " + In("r.bc") + port());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "读取失败!\n");
    EXPECT_NE(r.err.find("第 3 块"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(In("r.bc")));
    ASSERT_EQ(backups().size(), 1u);
    EXPECT_TRUE(backups()[0].string().ends_with(".incomplete-block-3.img"));
    expectExitLast();

    // The write's backup fails first: nothing is written.
    r = run("write --in " + In("x.bc") + port());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "写频错误!\n");
    EXPECT_EQ(writes_, 0);
    expectExitLast();

    radio_->setFault(*sim::FaultPlan::Parse("off"));
    r = run("write-limits --file " + In("x.bc") + port());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "写入失败!\n");
    expectExitLast();

    // A byte the radio holds differently after the write: one verdict, and it is the failure.
    radio_->setFault({});
    writes_ = 0;
    bool changed = false;
    r = run("write --no-backup --verify --in " + In("x.bc") + port(), [&](pid_t) {
        if (writes_ >= 136 && !changed) {
            radio_->write(0x1234, {static_cast<std::uint8_t>(~radio_->read(0x1234, 1)[0])});
            changed = true;
        }
    });
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "写频错误!\n");
    EXPECT_NE(r.err.find("0x1234"), std::string::npos) << r.err;
    expectExitLast();
}

TEST_F(RadioCommands, SignalsStopAtABlockBoundaryWithExit) {
    // Ctrl+C twice in the middle of a write without a backup.
    int sent = 0;
    Outcome r = run("write --no-backup --in " + In("x.bc") + port(), [&](pid_t pid) {
        if (writes_ >= 20 && sent == 0) {
            ::kill(pid, SIGINT);
            ::kill(pid, SIGINT);
            sent = 1;
        }
    });
    EXPECT_EQ(r.status, 128 + SIGINT) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("interrupted by SIGINT"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("newly written blocks"), std::string::npos) << r.err;
    EXPECT_LT(writes_, 30);
    expectExitLast();

    // SIGTERM during a read: no codeplug is written, and the backup says it is incomplete.
    reads_ = 0;
    r = run("read --out " + In("r.bc") + port(), [&](pid_t pid) {
        if (reads_ == 50) ::kill(pid, SIGTERM);
    });
    EXPECT_EQ(r.status, 128 + SIGTERM) << r.err;
    EXPECT_FALSE(fs::exists(In("r.bc")));
    ASSERT_EQ(backups().size(), 1u);
    EXPECT_NE(backups()[0].string().find(".incomplete-block-"), std::string::npos);
    expectExitLast();

    // SIGHUP during a write with its backup: the restore command is named.
    writes_ = 0;
    r = run("write --in " + In("x.bc") + port(), [&](pid_t pid) {
        if (writes_ == 10) ::kill(pid, SIGHUP);
    });
    EXPECT_EQ(r.status, 128 + SIGHUP) << r.err;
    EXPECT_NE(r.err.find("radio-cli restore --port " + radio_->slavePath()), std::string::npos) << r.err;
    expectExitLast();
}

TEST_F(RadioCommands, RestoreRefusesWhatWouldBlankTheRadio) {
    fs::create_directories(dir_ / "b");
    auto write = [&](const std::string& name, const std::vector<std::uint8_t>& bytes) {
        std::ofstream(In(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                       static_cast<std::streamsize>(bytes.size()));
        return In(name);
    };
    const auto blank = write("blank.img", std::vector<std::uint8_t>(image::kImageSize, 0xFF));
    const auto incomplete = write("2026-01-01_000000_ttyUSB0.incomplete-block-130.img", radio_->memory());
    for (const auto& path : {blank, incomplete}) {
        radio_->clearReceived();
        const Outcome r = run("restore " + path + port());
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
        EXPECT_TRUE(radio_->frames().empty());
    }
    const Outcome forced = run("restore --force " + incomplete + port());
    EXPECT_EQ(forced.status, 0) << forced.err;
    expectExitLast();
}

TEST_F(RadioCommands, PortsThatCannotBeUsedSayWhy) {
    Outcome r = run("read-limits --file " + In("x.bc") + " --port /dev/null");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("不是串口设备"), std::string::npos) << r.err;
    r = run("read-limits --file " + In("x.bc") + " --port /dev/ttyNOSUCH9");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("没有这个设备"), std::string::npos) << r.err;
}

}  // namespace
