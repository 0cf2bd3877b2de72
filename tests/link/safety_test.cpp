#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "link/pipelines.h"

#include "image/transfer.h"
#include "link/backups.h"
#include "link/trace.h"
#include "tests/link/bench_radio.h"

using base::BytesToHex;

using namespace image;
namespace fs = std::filesystem;

namespace {

std::string blockBytes(const std::vector<std::uint8_t>& memory) {
    std::string out;
    for (const auto& b : TransferList()) out += BytesToHex(memory.data() + b.address, b.length);
    return out;
}

fs::path scratch(const char* name) {
    const auto dir = fs::temp_directory_path() / ("link-safety-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    return dir / name;
}

}  // namespace

TEST(Safety, RestoreAfterAFailingWriteBringsTheRadioBack) {
    BenchRadio bench;
    const auto before = bench.virtualRadio.memory();
    EditorState state;
    std::vector<std::uint8_t> raw;
    ASSERT_TRUE(radiolink::ReadRadio(bench.radio, state, {}, &raw).ok());
    const auto backupDir = scratch("backups");
    const auto saved = radiolink::SaveBackup(raw, "/dev/pts/7", radiolink::kComplete, backupDir.string());
    ASSERT_TRUE(saved.ok()) << saved.message();
    const std::string& backup = saved.value;
    EXPECT_NE(backup.find("_dev_pts_7.img"), std::string::npos) << backup;
    EXPECT_EQ(fs::file_size(backup), 0x1C00u);

    // A write of another codeplug stops halfway: the radio holds half of each.
    bench.virtualRadio.setFault(BenchRadio::plan("silent-from:70"));
    EXPECT_FALSE(radiolink::WriteRadio(bench.radio, EditorState()).ok());
    EXPECT_NE(blockBytes(bench.virtualRadio.memory()), blockBytes(before));

    bench.virtualRadio.setFault({});
    std::ifstream in(backup, std::ios::binary);
    const std::vector<std::uint8_t> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto restored = radiolink::RestoreRadio(bench.radio, image);
    ASSERT_TRUE(restored.ok()) << restored.detail();
    EXPECT_EQ(blockBytes(bench.virtualRadio.memory()), blockBytes(before));
    EXPECT_FALSE(radiolink::RestoreRadio(bench.radio, std::vector<std::uint8_t>(100, 0)).ok());
    fs::remove_all(backupDir.parent_path());
}

TEST(Safety, TheTraceShowsEveryFrameAndTheTimeOut) {
    BenchRadio bench(BenchRadio::plan("silent-from:135"));
    const auto path = scratch("trace.txt");
    {
        radiolink::TraceFile trace;
        const auto opened = trace.open(path.string());
        ASSERT_TRUE(opened.ok()) << opened.message();
        trace.attach(bench.radio);
        EditorState state;
        EXPECT_FALSE(radiolink::ReadRadio(bench.radio, state).ok());
        radiolink::TraceFile::detach(bench.radio);
    }
    std::ifstream in(path);
    std::vector<std::string> sent, notes;
    std::size_t received = 0;
    for (std::string line; std::getline(in, line);) {
        ASSERT_GE(line.size(), 15u) << line;
        EXPECT_EQ(line[2], ':');
        EXPECT_EQ(line[8], '.');  // milliseconds
        const char direction = line[13];
        if (direction == '>') sent.push_back(line.substr(15));
        else if (direction == '<') received += (line.size() - 14) / 3;
        else if (direction == '!') notes.push_back(line.substr(15));
    }
    ASSERT_EQ(sent.size(), 1u + 136u + 1u);  // PROM_LIN, blocks 0..135, EXIT
    EXPECT_EQ(sent.front(), "50 52 4F 4D 5F 4C 49 4E");
    EXPECT_EQ(sent[1], "52 45 41 44 04 00 00 30");
    EXPECT_EQ(sent[136], "52 45 41 44 02 D0 00 21");
    EXPECT_EQ(sent.back(), "45 58 49 54");
    EXPECT_EQ(received, 1u + 6450u - 33u);  // the acknowledgement of PROM_LIN, then 135 answers
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes.front().rfind("time-out", 0), 0u) << notes.front();
    // It holds what the radio holds: the owner's alone, as the backups.
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);

    // A trace that cannot be written (a full disk) says so; one at a link in a shared folder
    // is not opened.
    {
        radiolink::TraceFile full;
        ASSERT_TRUE(full.open("/dev/full").ok());
        full.note("one line");
        const auto closed = full.close();
        EXPECT_NE(closed.error.find("No space left on device"), std::string::npos) << closed.error;
    }
    const auto shared = scratch("shared");
    fs::create_directories(shared);
    fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
    fs::create_symlink(path, shared / "trace.txt");
    radiolink::TraceFile planted;
    const auto refused = planted.open((shared / "trace.txt").string());
    EXPECT_EQ(refused.kind, base::ErrorKind::Refused);
    EXPECT_NE(refused.message().find("symbolic link"), std::string::npos) << refused.message();
    EXPECT_EQ(fs::file_size(path) > 0, true);  // the file the link names is untouched
    fs::remove_all(path.parent_path());
}

TEST(Safety, RestoreKeepsABackupFirstAndWritesNothingWithoutOne) {
    const auto dir = scratch("restore");
    ::setenv("RADIO_BACKUP_DIR", dir.c_str(), 1);
    BenchRadio bench;
    const auto original = bench.virtualRadio.memory();
    std::vector<std::uint8_t> other = original;
    for (const auto& b : TransferList()) std::fill(other.begin() + b.address, other.begin() + b.address + 4, 0x11);
    std::vector<radiolink::Step> steps;
    auto r = radiolink::RestoreSafely(bench.radio, other, true, "/dev/ttyUSB0", {},
                                      [&](radiolink::Step s) { steps.push_back(s); });
    ASSERT_TRUE(r.ok()) << r.detail();
    EXPECT_EQ(steps, (std::vector{radiolink::Step::Backup, radiolink::Step::Write}));
    EXPECT_EQ(blockBytes(bench.virtualRadio.memory()), blockBytes(other));
    std::ifstream in(r.backup, std::ios::binary);
    const std::vector<std::uint8_t> saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(blockBytes(saved), blockBytes(original));  // what the radio held before
    EXPECT_NE(r.detail().find(r.backup), std::string::npos) << r.detail();

    // A backup that cannot be saved (the folder is a file): a file problem, nothing written.
    fs::remove_all(dir);
    std::ofstream(dir) << "no folder";
    bench.virtualRadio.clearReceived();
    r = radiolink::RestoreSafely(bench.radio, original, true, "/dev/ttyUSB0");
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.fileProblem);
    EXPECT_EQ(r.error.rfind("没有写入任何数据", 0), 0u) << r.error;
    EXPECT_EQ(r.kind, base::ErrorKind::Refused);  // the command line offers no restore for it
    for (const auto& f : bench.framesAfterExit()) EXPECT_NE(f.substr(0, 8), "57524945");
    EXPECT_EQ(blockBytes(bench.virtualRadio.memory()), blockBytes(other));
    ::unsetenv("RADIO_BACKUP_DIR");
    fs::remove_all(dir.parent_path());
}

TEST(Backups, NamedForWhatTheyHoldPrivateAndNeverDeleted) {
    const auto dir = scratch("kept");
    // An old file of the operator's in the folder stays where it is.
    fs::create_directories(dir);
    fs::permissions(dir, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    const auto old = dir / "2020-01-01_000000_mine.img";
    std::ofstream(old) << "mine";
    fs::last_write_time(old, fs::file_time_type::clock::now() - std::chrono::hours(24 * 800));

    const std::vector<std::uint8_t> image(kImageSize, 0x5A);
    const auto savedGood = radiolink::SaveBackup(image, "/dev/ttyUSB0", radiolink::kComplete, dir.string());
    const auto savedStopped = radiolink::SaveBackup(image, "/dev/ttyUSB0", 130, dir.string());
    ASSERT_TRUE(savedGood.ok()) << savedGood.message();
    ASSERT_TRUE(savedStopped.ok()) << savedStopped.message();
    const std::string &good = savedGood.value, &stopped = savedStopped.value;
    EXPECT_NE(good, stopped);
    EXPECT_TRUE(good.ends_with("_dev_ttyUSB0.img")) << good;
    EXPECT_TRUE(stopped.ends_with("_dev_ttyUSB0.incomplete-block-130.img")) << stopped;
    EXPECT_TRUE(fs::exists(old));
    // A folder the backups found keeps its mode (the ones made are 0700: files/folders).
    EXPECT_EQ(fs::status(dir).permissions() & fs::perms::all,
              fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    EXPECT_EQ(fs::status(good).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    fs::remove_all(dir.parent_path());
}

TEST(Backups, RestoreRefusesWhatWouldBlankTheRadio) {
    auto image = BenchRadio().virtualRadio.memory();
    EXPECT_TRUE(radiolink::RestoreRisk("/b/2026-01-01_000000_ttyUSB0.img", image).ok());
    EXPECT_FALSE(radiolink::RestoreRisk("/b/2026-01-01_000000_ttyUSB0.incomplete-block-130.img", image).ok());
    // Every byte that blocks 128-135 carry is FF: the settings would be wiped.
    for (const auto& b : TransferList())
        if (b.j >= 128) std::fill(image.begin() + b.address, image.begin() + b.address + b.length, 0xFF);
    EXPECT_FALSE(radiolink::RestoreRisk("/b/x.img", image).ok());
    image[0x02C0] = 0x00;  // one byte of settings left is no blank radio
    EXPECT_TRUE(radiolink::RestoreRisk("/b/x.img", image).ok());
    EXPECT_FALSE(radiolink::RestoreRisk("/b/x.img", std::vector<std::uint8_t>(kImageSize, 0xFF)).ok());
}

TEST(SafeWrite, BacksUpWritesAndVerifiesWithOneVerdict) {
    const auto dir = scratch("pipeline");
    const auto before = std::getenv("RADIO_BACKUP_DIR");
    ::setenv("RADIO_BACKUP_DIR", dir.c_str(), 1);
    BenchRadio bench;
    const auto original = bench.virtualRadio.memory();
    EditorState edited;
    edited.upper.at(1, kColRxFreq) = "146.50000";

    // A write that stops halfway says how much of the radio is new, and where the backup is.
    std::vector<radiolink::Step> steps;
    auto r = radiolink::WriteSafely(bench.radio, edited, {true, true}, "/dev/ttyUSB0", {}, [&](radiolink::Step s) {
        steps.push_back(s);
        if (s == radiolink::Step::Write) bench.virtualRadio.setFault(BenchRadio::plan("silent-from:70"));
    });
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.message, "写频错误!");
    ASSERT_FALSE(r.backup.empty());
    EXPECT_NE(blockBytes(bench.virtualRadio.memory()), blockBytes(original));
    // Block 70 got no answer, but the radio may have stored it.
    EXPECT_NE(r.detail().find("电台中已有 70 块是新写入的, 第 70 块可能也已写入"), std::string::npos) << r.detail();
    EXPECT_NE(r.detail().find(r.backup), std::string::npos) << r.detail();
    EXPECT_EQ(steps, (std::vector{radiolink::Step::Backup, radiolink::Step::Write}));

    // The backup brings the radio back; then a clean write verifies.
    std::ifstream in(r.backup, std::ios::binary);
    const std::vector<std::uint8_t> saved((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(blockBytes(saved), blockBytes(original));
    bench.virtualRadio.setFault({});
    r = radiolink::WriteSafely(bench.radio, edited, {false, true}, "/dev/ttyUSB0");
    EXPECT_TRUE(r.ok()) << r.detail();
    EXPECT_EQ(r.message, "写频正确!");
    EXPECT_TRUE(r.backup.empty());

    // A stop during the backup: nothing is written.
    bench.virtualRadio.clearReceived();
    r = radiolink::WriteSafely(bench.radio, EditorState(), {true, false}, "/dev/ttyUSB0", [&](int done) {
        if (done == 3) bench.radio.requestStop();
    });
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.interrupted);
    for (const auto& f : bench.framesAfterExit()) EXPECT_NE(f.substr(0, 8), "57524945");

    // A field that cannot be encoded sends nothing at all.
    bench.radio.clearStop();
    bench.virtualRadio.clearReceived();
    EditorState bad;
    bad.k[5] = "XYZ";
    r = radiolink::WriteSafely(bench.radio, bad, {true, true}, "/dev/ttyUSB0");
    EXPECT_FALSE(r.ok());
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(bench.frames().empty());

    if (before) ::setenv("RADIO_BACKUP_DIR", before, 1);
    else ::unsetenv("RADIO_BACKUP_DIR");
    fs::remove_all(dir.parent_path());
}

TEST(SafeRead, SaysWhichLinesHoldBytesThatAreNoGbkText) {
    const auto dir = scratch("nongbk");
    BenchRadio bench;
    // Power-on line 1: "A" and a GBK lead byte with nothing after it.
    bench.virtualRadio.write(0x02D0, {0x02, 0x41, 0xB0, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF});
    ::setenv("RADIO_BACKUP_DIR", dir.c_str(), 1);
    EditorState state;
    const auto r = radiolink::ReadKeepingBackup(bench.radio, state, "/dev/ttyUSB0");
    ::unsetenv("RADIO_BACKUP_DIR");
    ASSERT_TRUE(r.ok()) << r.detail();
    EXPECT_NE(r.detail().find("开机信息1: 非GBK字节 B0"), std::string::npos) << r.detail();
    fs::remove_all(dir.parent_path());
}
