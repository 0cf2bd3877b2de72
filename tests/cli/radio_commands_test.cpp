// radio-cli's radio commands against a virtual radio that takes its bytes off the line late:
// exit codes, verdicts, backups, and "EXIT" on the line after every run, whatever its end.
#include <gtest/gtest.h>
#include <signal.h>
#include <fcntl.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "base/hex.h"
#include "files/folders.h"
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
    long peakKiB;  // the most memory the command held (VmHWM)
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
        waits_ = std::to_string(t.promLinWait.count()) + "," + std::to_string(t.frameTimeout.count()) + "," +
                 std::to_string(t.singleBlockWait.count()) + "," + std::to_string(t.afterExit.count());
        newRadio();
        ASSERT_EQ(run("new " + In("x.bc")).status, 0);
    }
    void TearDown() override {
        radio_.reset();
        ::unsetenv("RADIO_BACKUP_DIR");
        fs::remove_all(dir_);
    }
    void newRadio(const char* fault = "") {
        radio_.reset();
        sim::RadioOptions o;
        o.pacing = false;
        o.readLag = 2ms;  // a radio busy with something else (LineEnd tries longer lags)
        o.onFrame = [this](const std::vector<std::uint8_t>& frame) {
            if (frame.at(0) == 'W') ++writes_;
            if (frame.at(0) == 'R') ++reads_;
        };
        o.fault = sim::FaultPlan::Parse(fault).value;
        radio_ = std::make_unique<sim::VirtualRadio>(o);
    }
    std::string In(const std::string& name) const { return (dir_ / name).string(); }
    // The port, and the protocol's waits shortened as the in-process tests have them.
    std::string port() const { return " --port " + radio_->slavePath() + " --waits-ms " + waits_; }

    // Runs radio-cli; `whileRunning` is called every 2 ms with the child's pid.
    Outcome run(const std::string& args, const std::function<void(pid_t)>& whileRunning = {}) {
        const std::string command = "exec '" RADIO_CLI "' " + args + " >'" + In("out") + "' 2>'" + In("err") + "'";
        const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ) != 0)
            return {-1, {}, {}, 0};
        int raw = 0;
        struct rusage usage {};
        while (::wait4(pid, &raw, WNOHANG, &usage) == 0) {
            if (whileRunning) whileRunning(pid);
            std::this_thread::sleep_for(2ms);
        }
        const int status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        return {status, ReadAll(In("out")), ReadAll(In("err")), usage.ru_maxrss};
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
    std::string waits_;
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
    // The read, the write and the restore each left a complete backup; the read its codeplug.
    ASSERT_EQ(backups().size(), 3u);
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
    radio_->setFault(sim::FaultPlan::Parse("silent-from:3").value);
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

    radio_->setFault(sim::FaultPlan::Parse("off").value);
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

// --lang chooses the language of every message: the verdict on stdout, what went wrong and
// where on stderr; Chinese when not asked; a language it lacks is bad usage.
TEST_F(RadioCommands, SpeaksTheLanguageLangChooses) {
    auto ascii = [](const std::string& s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    struct Case {
        const char* fault;
        std::string args;
        int status;
        std::string out, err;  // stdout exactly; a part of stderr
    };
    const std::vector<Case> cases = {
        {"", "--lang en read --out " + In("en.bc"), 0, "Read successfully!\n", "Backup: "},
        {"", "read --out " + In("zh.bc"), 0, "读取成功!\n", "备份: "},
        {"silent-from:3", "--lang=en read --out " + In("f.bc"), 1, "Read failed!\n", "block 3 (0x"},
        {"silent-from:3", "--lang en write --in " + In("x.bc"), 1, "Write failed!\n",
         "Nothing was written: the backup before the write did not complete"},
        {"off", "--lang en read-limits --file " + In("x.bc"), 1, "Read failed!\n", "The radio does not answer"},
        {"", "--lang xx read --out " + In("xx.bc"), 2, "", "--lang xx: the languages are en and zh"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        radio_->setFault(sim::FaultPlan::Parse(c.fault).value);
        const Outcome r = run(c.args + port());
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, c.out);
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
        if (c.args.find("--lang") == 0) {
            EXPECT_TRUE(ascii(r.out + r.err)) << r.err;
        }
    }
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
    // Waits that do not read as four numbers are refused before the port is opened.
    for (const char* waits : {"1,2,3", "1,2,3,x", "1,2,3,60001"}) {
        r = run("read-limits --file " + In("x.bc") + " --port " + radio_->slavePath() + " --waits-ms " + waits);
        EXPECT_EQ(r.status, 2) << waits;
        EXPECT_NE(r.err.find("--waits-ms"), std::string::npos) << r.err;
    }
    EXPECT_TRUE(radio_->frames().empty());
}

// A read that fails late (silent from block 131, the cable pulled) leaves no file that looks
// whole: no codeplug, no --raw image, only the backup named incomplete, which restore refuses.
TEST_F(RadioCommands, AFailedReadLeavesNoFileThatLooksWhole) {
    const std::string read = "read --out " + In("r.bc") + " --raw " + In("r.img");
    radio_->setFault(sim::FaultPlan::Parse("silent-from:131").value);
    Outcome r = run(read + port());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "读取失败!\n");
    EXPECT_NE(r.err.find("第 131 块"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("no file was written; what was read is kept in "), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(In("r.bc")) || fs::exists(In("r.img")));
    ASSERT_EQ(backups().size(), 1u);
    EXPECT_TRUE(backups()[0].string().ends_with(".incomplete-block-131.img")) << backups()[0];
    radio_->setFault({});
    r = run("restore " + backups()[0].string() + port());
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(writes_, 0);

    newRadio("vanish-at:60");
    r = run(read + port());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("已拔出"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(In("r.bc")) || fs::exists(In("r.img")));
    EXPECT_EQ(backups().size(), 2u);
}

// The verdict comes on stdout only once the files are saved; a file that cannot be written
// (the output on a full disk, the trace, the backup before a write, stdout itself) exits 2
// and loses nothing that was saved; a write that failed names the command that undoes it.
TEST_F(RadioCommands, FilesAreSavedBeforeTheVerdictAndFileErrorsExit2) {
    Outcome r = run("read --out " + In("r.bc") + " --trace /dev/full" + port());
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "读取成功!\n");
    EXPECT_TRUE(fs::exists(In("r.bc")));
    EXPECT_NE(r.err.find("trace file \"/dev/full\" could not be written: No space left"), std::string::npos) << r.err;

    const std::string shell = "{ '" RADIO_CLI "' read --out " + In("piped.bc") + port() + " 2>" + In("err") +
                              "; echo $? >" + In("status") + "; } | true";
    ASSERT_EQ(std::system(shell.c_str()), 0);
    EXPECT_EQ(ReadAll(In("status")), "2\n");
    EXPECT_TRUE(fs::exists(In("piped.bc")));
    EXPECT_NE(ReadAll(In("err")).find("stdout"), std::string::npos) << ReadAll(In("err"));
    expectExitLast();

    std::ofstream(In("not-a-folder")) << "x";
    ::setenv("RADIO_BACKUP_DIR", In("not-a-folder").c_str(), 1);
    r = run("write --in " + In("x.bc") + port());
    ::setenv("RADIO_BACKUP_DIR", (dir_ / "backups").c_str(), 1);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(writes_, 0);
    EXPECT_NE(r.err.find("没有写入任何数据"), std::string::npos) << r.err;

    radio_->setFault(sim::FaultPlan::Parse("wrong-ack@3").value);
    r = run("write --in " + In("x.bc") + port());
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("电台中已有 3 块是新写入的, 第 3 块可能也已写入"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("radio-cli restore --port " + radio_->slavePath() + " " + (dir_ / "backups").string()),
              std::string::npos)
        << r.err;
    radio_->setFault({});

    // A full disk under the codeplug: no verdict, the reason, and the backup holds the read.
    const fs::path full = dir_ / "full";
    fs::create_directories(full);
    if (::mount("tmpfs", full.c_str(), "tmpfs", 0, "size=16k") != 0) GTEST_SKIP() << "no tmpfs can be mounted here";
    std::ofstream(full / "filler") << std::string(64 * 1024, 'x');
    const std::size_t before = backups().size();
    r = run("read --out " + (full / "r.bc").string() + port());
    ::umount2(full.c_str(), MNT_DETACH);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("what was read is kept in "), std::string::npos) << r.err;
    EXPECT_EQ(backups().size(), before + 1);
}

// Another user plants links at the output names in a sticky world-writable folder: every
// output refuses them and the file they name stays as it was.
TEST_F(RadioCommands, OutputsRefuseALinkAnotherUserPlantedInAStickyFolder) {
    const fs::path sticky = dir_ / "shared";
    fs::create_directories(sticky);
    fs::permissions(sticky, fs::perms::all | fs::perms::sticky_bit);
    fs::permissions(dir_, fs::perms::all);  // let the other user in
    std::ofstream(In("victim")) << "keep me";
    const std::string victim = In("victim");
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
        for (const char* name : {"x.bc", "x.img", "t.log"})
            if (::symlink(victim.c_str(), (sticky / name).c_str()) != 0) ::_exit(4);
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) == 3) GTEST_SKIP() << "cannot switch to a second user";
    ASSERT_EQ(WEXITSTATUS(status), 0);

    for (const std::string& args : {"read --out " + (sticky / "x.bc").string(),
                                    "read --out " + In("r.bc") + " --raw " + (sticky / "x.img").string(),
                                    "read --out " + In("r.bc") + " --trace " + (sticky / "t.log").string()}) {
        SCOPED_TRACE(args);
        const Outcome r = run(args + port());
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.out, "");
        EXPECT_NE(r.err.find(files::kPlantedLink), std::string::npos) << r.err;
        EXPECT_EQ(ReadAll(victim), "keep me");
    }
}

// A program that holds the port without a lock (here `sleep` with the port as its input) is
// found, named, and nothing is sent; the port is ours once it has gone.
TEST_F(RadioCommands, APortHeldByAnotherProgramIsBusyAndNamed) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, radio_->slavePath().c_str(), O_RDWR | O_NOCTTY, 0);
    const char* argv[] = {"/bin/sleep", "60", nullptr};
    pid_t holder = 0;
    ASSERT_EQ(posix_spawn(&holder, "/bin/sleep", &actions, nullptr, const_cast<char**>(argv), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    Outcome r = run("read --out " + In("r.bc") + port());
    ::kill(holder, SIGKILL);
    ::waitpid(holder, nullptr, 0);
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("端口正被另一个程序占用 (sleep (pid " + std::to_string(holder) + "))"), std::string::npos)
        << r.err;
    EXPECT_TRUE(radio_->frames().empty());
    r = run("read --out " + In("r.bc") + port());
    EXPECT_EQ(r.status, 0) << r.err;
}

// A radio that sends without end fails the block it floods, said so, within a small memory
// (unbounded, a flood took hundreds of megabytes; a sanitizer's own bookkeeping adds tens).
#ifdef RADIO_SANITIZED
constexpr long kFloodMostKiB = 128 * 1024;
#else
constexpr long kFloodMostKiB = 32 * 1024;
#endif
TEST_F(RadioCommands, AFloodingRadioFailsItsBlockInBoundedMemory) {
    for (const std::string& args : {"read --out " + In("r.bc"), "write --no-backup --in " + In("x.bc")}) {
        SCOPED_TRACE(args);
        newRadio("flood@5");
        const Outcome r = run(args + port());
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("第 5 块"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("电台发来的数据远多于应答"), std::string::npos) << r.err;
        EXPECT_LT(r.peakKiB, kFloodMostKiB);
        EXPECT_FALSE(fs::exists(In("r.bc")));
    }
}

}  // namespace

// radio-cli fleet on two pseudo-terminals: a bad list is refused before a byte is sent, a
// good one programs a radio on each port with its own ID, and a rerun with the same log has
// nothing left to do.
TEST_F(RadioCommands, FleetProgramsARadioOnEachPortAndResumesFromItsLog) {
    sim::RadioOptions o;
    o.pacing = false;
    sim::VirtualRadio second(o);
    std::ofstream(In("bad.csv")) << "label,id\nA,101\nB,10x\n";
    std::ofstream(In("radios.csv")) << "id,label\n101,A\n102,\"B, spare\"\n";
    auto fleet = [&](const char* list) {
        return run("fleet --plan " + In("x.bc") + " --radios " + In(list) + " --log " + In("log.csv") + port() +
                   " --port " + second.slavePath() + " </dev/null");
    };
    const Outcome bad = fleet("bad.csv");
    EXPECT_EQ(bad.status, 2);
    EXPECT_NE(bad.err.find("line 3, column id: '10x'"), std::string::npos) << bad.err;
    EXPECT_TRUE(radio_->frames().empty());

    const Outcome good = fleet("radios.csv");
    EXPECT_EQ(good.status, 0) << good.err;
    EXPECT_EQ(good.out, "2 programmed, 0 failed\n");
    std::set<std::string> ids;
    for (const sim::VirtualRadio* r : {radio_.get(), &second})
        ids.insert(base::BytesToHex(r->read(0x0280, 8)));
    EXPECT_EQ(ids, (std::set<std::string>{"03010A01FFFFFFFF", "03010A02FFFFFFFF"}))
        << "each radio its own ID code, written with the code edit's encoding";
    const std::string log = ReadAll(In("log.csv"));
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3) << log;
    EXPECT_NE(log.find(",\"B, spare\","), std::string::npos) << log;

    radio_->clearReceived();
    const Outcome again = fleet("radios.csv");
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, "0 programmed, 0 failed\n");
    EXPECT_TRUE(radio_->frames().empty());

    // Ctrl+C during the writes: the radios in progress stop with EXIT and are logged as such.
    std::ofstream(In("more.csv")) << "label,id\nC,103\nD,104\n";
    writes_ = 0;
    bool sent = false;
    const Outcome stopped = run("fleet --plan " + In("x.bc") + " --radios " + In("more.csv") + " --log " +
                                    In("log.csv") + port() + " --port " + second.slavePath() + " </dev/null",
                                [&](pid_t pid) {
                                    if (writes_ >= 20 && !sent) sent = ::kill(pid, SIGINT) == 0;
                                });
    EXPECT_EQ(stopped.status, 128 + SIGINT) << stopped.err;
    EXPECT_NE(stopped.out.find("interrupted ("), std::string::npos) << stopped.out;
    EXPECT_NE(ReadAll(In("log.csv")).find(",interrupted,"), std::string::npos);
    expectExitLast();
}

// One port on a terminal: each radio is asked for by its label, and taken at Enter.
TEST_F(RadioCommands, FleetOnATerminalAsksForEachRadioInTurn) {
    const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(::grantpt(master), 0);
    ASSERT_EQ(::unlockpt(master), 0);
    const std::string terminal = ::ptsname(master);
    std::ofstream(In("radios.csv")) << "label,id\nTruck 1,201\nTruck 2,202\n";
    int answered = 0;
    const Outcome r = run("fleet --plan " + In("x.bc") + " --radios " + In("radios.csv") + " --log " + In("log.csv") +
                              port() + " <" + terminal,
                          [&](pid_t) {
                              const std::string err = ReadAll(In("err"));
                              const std::string asked = "connect Truck " + std::to_string(answered + 1) + " and press Enter";
                              if (answered < 2 && err.find(asked) != std::string::npos && ::write(master, "\n", 1) == 1)
                                  ++answered;
                          });
    ::close(master);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "2 programmed, 0 failed\n");
    EXPECT_LT(r.err.find("connect Truck 1"), r.err.find("Truck 1 ok"));
    EXPECT_LT(r.err.find("Truck 1 ok"), r.err.find("connect Truck 2")) << r.err;
    EXPECT_EQ(base::BytesToHex(radio_->read(0x0280, 8)), "03020A02FFFFFFFF");
}
