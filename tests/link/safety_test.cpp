#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "image/transfer.h"
#include "link/backups.h"
#include "link/trace.h"
#include "tests/link/bench_radio.h"

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
    ASSERT_TRUE(radiolink::ReadRadio(bench.radio, state, {}, &raw).ok);
    std::string error;
    const auto backupDir = scratch("backups");
    const std::string backup = radiolink::SaveBackup(raw, "/dev/pts/7", error, radiolink::kComplete, backupDir.string());
    ASSERT_FALSE(backup.empty()) << error;
    EXPECT_NE(backup.find("_dev_pts_7.img"), std::string::npos) << backup;
    EXPECT_EQ(fs::file_size(backup), 0x1C00u);

    // A write of another codeplug stops halfway: the radio holds half of each.
    bench.virtualRadio.setFault(BenchRadio::plan("silent-from:70"));
    EXPECT_FALSE(radiolink::WriteRadio(bench.radio, EditorState()).ok);
    EXPECT_NE(blockBytes(bench.virtualRadio.memory()), blockBytes(before));

    bench.virtualRadio.setFault({});
    std::ifstream in(backup, std::ios::binary);
    const std::vector<std::uint8_t> image((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto restored = radiolink::RestoreRadio(bench.radio, image);
    ASSERT_TRUE(restored.ok) << restored.detail;
    EXPECT_EQ(blockBytes(bench.virtualRadio.memory()), blockBytes(before));
    EXPECT_FALSE(radiolink::RestoreRadio(bench.radio, std::vector<std::uint8_t>(100, 0)).ok);
    fs::remove_all(backupDir.parent_path());
}

TEST(Safety, TheTraceShowsEveryFrameAndTheTimeOut) {
    BenchRadio bench(BenchRadio::plan("silent-from:135"));
    const auto path = scratch("trace.txt");
    std::string error;
    {
        radiolink::TraceFile trace;
        ASSERT_TRUE(trace.open(path.string(), error)) << error;
        trace.attach(bench.radio);
        EditorState state;
        EXPECT_FALSE(radiolink::ReadRadio(bench.radio, state).ok);
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
    fs::remove_all(path.parent_path());
}
