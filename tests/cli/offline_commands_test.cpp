// radio-cli new, show, image and load: exit codes, messages and what they write.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/files.h"
#include "codeplug/codeplug.h"
#include "image/hex.h"

namespace {

namespace fs = std::filesystem;
using image::EditorState;

std::string ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

struct Outcome {
    int status;
    std::string out, err;
};

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("radio-cli-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    Outcome run(const std::string& args) {
        const std::string command = "cd '" + dir_.string() + "' && '" RADIO_CLI "' " + args + " >out.txt 2>err.txt";
        const int raw = std::system(command.c_str());
        Outcome r{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(dir_ / "out.txt"), ReadAll(dir_ / "err.txt")};
        fs::remove(dir_ / "out.txt");
        fs::remove(dir_ / "err.txt");
        return r;
    }
    void write(const std::string& name, const std::string& bytes) { std::ofstream(dir_ / name, std::ios::binary) << bytes; }
    // A failure: exit 2 and one line on stderr that holds every part.
    void expectFailure(const Outcome& r, std::initializer_list<std::string> parts) {
        EXPECT_EQ(r.status, 2) << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        for (const auto& p : parts) EXPECT_NE(r.err.find(p), std::string::npos) << r.err;
    }
    fs::path dir_;
};

TEST_F(Cli, NewWritesWhatNewGivesAndAddsTheSuffixOnce) {
    const std::string expected = codeplug::ToText(codeplug::New(EditorState())).bytes;
    Outcome r = run("new plain");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadAll(dir_ / "plain.bc"), expected);
    r = run("new named.bc");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadAll(dir_ / "named.bc"), expected);
    EXPECT_FALSE(fs::exists(dir_ / "named.bc.bc"));

    EXPECT_EQ(run("new --help").status, 0);
    expectFailure(run("new"), {"usage: radio-cli new FILE.bc"});
    expectFailure(run("new a.bc b.bc"), {"usage"});
    expectFailure(run("new no/such/dir/x.bc"), {"Cannot create file \"no/such/dir/x.bc\". No such file or directory"});
}

// The seams of the write and read procedures: an image made from a New file and loaded again
// gives the New state back, but for the offsets the band decoder writes with five decimals.
TEST_F(Cli, ImageOfNewLoadsBackToNew) {
    ASSERT_EQ(run("new a.bc").status, 0);
    Outcome r = run("image a.bc a.img");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string img = ReadAll(dir_ / "a.img");
    ASSERT_EQ(img.size(), 7168u);
    const auto hex = [&](std::size_t from, std::size_t n) { return image::BytesToHex(std::string_view(img).substr(from, n)); };
    EXPECT_EQ(hex(0x0000, 0x200), std::string(0x400, 'F'));  // no block below 0x0200
    EXPECT_EQ(hex(0x0200, 0x30), "000FFFFF010203000102000406D600320300" + std::string(60, 'F'));
    EXPECT_EQ(hex(0x0230, 0x10), std::string(32, 'F'));       // a gap
    EXPECT_EQ(hex(0x02C0, 0x02), "00FF");                     // sypz9, then a gap
    EXPECT_EQ(hex(0x02D0, 0x21), "00FFFFFFFFFFFFFF00FFFFFFFFFFFFFF" + std::string(32, 'F') + "01");
    EXPECT_EQ(hex(0x0300, 0x20), "0000FFFFFFFFFFFF00FFFFFF00000101000000000F424009C4FFFFFFFFFFFFFF");
    EXPECT_EQ(hex(0x0FE8, 0x18), "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00FFFFFFFFFFFFFF");  // upper channel 128
    EXPECT_EQ(hex(0x1BE8, 0x18), "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00FFFFFFFFFFFFFF");  // lower channel 128

    r = run("load a.img b");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto loaded = codeplug::OpenFile((dir_ / "b.bc").string());
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    EditorState expected = codeplug::New(EditorState());
    expected.upperBand.offset = "10.00000";
    expected.lowerBand.offset = "10.00000";
    EXPECT_EQ(loaded.state, expected);
}

TEST_F(Cli, ImageAndLoadRefuseWhatTheyCannotUse) {
    EditorState s = codeplug::New(EditorState());
    s.lower.at(3, image::kColRxFreq) = "14x.5";
    ASSERT_TRUE(codeplug::SaveFile((dir_ / "bad.bc").string(), s).ok());
    expectFailure(run("image bad.bc out.img"), {"bad.bc: "});
    EXPECT_FALSE(fs::exists(dir_ / "out.img"));
    expectFailure(run("image missing.bc out.img"), {"Cannot open file \"missing.bc\""});
    expectFailure(run("image bad.bc"), {"usage: radio-cli image FILE.bc OUT.img"});

    write("short.img", std::string(7167, '\xFF'));
    expectFailure(run("load short.img out.bc"), {"short.img", "7167 bytes"});
    EXPECT_FALSE(fs::exists(dir_ / "out.bc"));
    expectFailure(run("load missing.img out.bc"), {"Cannot open file \"missing.img\". No such file or directory"});
}

TEST_F(Cli, ShowPrintsChannelsAlignedAndEveryPage) {
    EditorState s = codeplug::New(EditorState());
    s.upper.cells[2] = {"2", "145.12500", "67.0HZ", "QT/DQT+信令", "145.12500", "D023N", "双音1+身份码",
                        "关", "高", "宽带", "关", "开", "CH2", ""};
    s.upper.cells[9] = {"9", "", "", "", "438.01250", "OFF", "关", "关", "", "", "", "", "", ""};
    s.upper.at(5, image::kColName) = "NOFREQ";  // no frequency: not listed
    s.general.list[13] = 3;
    s.dtmf.sy[2] = "123";
    s.limits.kaiji1 = "HELLO";
    s.limits.xp5 = 0;
    ASSERT_TRUE(codeplug::SaveFile((dir_ / "s.bc").string(), s).ok());
    const Outcome r = run("show s.bc");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << r.err;

    std::vector<std::string> lines;
    std::istringstream in(r.out);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    ASSERT_GT(lines.size(), 5u);
    EXPECT_EQ(lines[0], "上段信道");
    const std::string& title = lines[1];
    const std::string& two = lines[2];
    const std::string& nine = lines[3];
    EXPECT_EQ(two.rfind("2 ", 0), 0u);
    EXPECT_EQ(nine.rfind("9 ", 0), 0u);
    EXPECT_EQ(r.out.find("NOFREQ"), std::string::npos);
    // Every column starts at the same terminal column in the title line and in each row.
    const auto column = [](const std::string& line, const std::string& text) {
        return cli::DisplayWidth(line.substr(0, line.find(text)));
    };
    EXPECT_EQ(column(title, "接收频率"), column(two, "145.12500"));
    EXPECT_EQ(column(title, "发射频率"), column(nine, "438.01250"));
    EXPECT_EQ(column(title, "发射开始信令"), column(two, "双音1+身份码"));
    EXPECT_EQ(column(title, "信道名称"), column(two, "CH2"));
    EXPECT_EQ(lines[5], "下段信道");
    EXPECT_EQ(lines[6], "(no channel has a frequency)");

    for (const char* caption : {"\n上段设置\n", "\n下段设置\n", "\n综合设置\n", "\n双音频组\n", "\n限频\n"})
        EXPECT_NE(r.out.find(caption), std::string::npos) << caption;
    const auto shows = [&](const std::string& label, const std::string& value) {
        for (const auto& l : lines)
            if (l.find("  " + label) == 0 && l.size() >= value.size() && l.compare(l.size() - value.size(), value.size(), value) == 0)
                return true;
        return false;
    };
    EXPECT_TRUE(shows("双音时间:", "200MS"));
    EXPECT_TRUE(shows("步进频率:", "25K"));
    EXPECT_TRUE(shows("发射差频(MHZ):", "10"));
    EXPECT_TRUE(shows("DTMF2:", "123"));
    EXPECT_TRUE(shows("当前状态:", "正常"));
    EXPECT_TRUE(shows("开机信息1:", "HELLO"));
    EXPECT_TRUE(shows("频段限频:", "关"));

    write("broken.bc", "1, , ,\r");
    expectFailure(run("show broken.bc"), {"broken.bc: ", "List index out of bounds (3)", "record 1 "});
}

}  // namespace
