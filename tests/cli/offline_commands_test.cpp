// radio-cli new, show, image and load: exit codes, messages and what they write.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>

#include "cli/files.h"
#include "codeplug/codeplug.h"
#include "base/hex.h"
#include "radio_version.h"
#include "tests/codeplug/helpers.h"

namespace {

namespace fs = std::filesystem;
using cptest::ReadAll;
using image::EditorState;

struct Outcome {
    int status;
    std::string out, err;
};

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("radio-cli-" + std::to_string(::getpid()) + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    std::string In(const std::string& name) { return (dir_ / name).string(); }
    Outcome run(const std::string& args) {
        const int raw = std::system(("cd '" + dir_.string() + "' && '" RADIO_CLI "' " + args + " >out 2>err").c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(In("out")), ReadAll(In("err"))};
    }
    // Exit 2 and one line on stderr holding every part.
    void expectFailure(const std::string& args, std::initializer_list<std::string> parts) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        for (const auto& p : parts) EXPECT_NE(r.err.find(p), std::string::npos) << r.err;
    }
    fs::path dir_;
};

TEST_F(Cli, NewWritesWhatNewGivesAndAddsTheSuffixOnce) {
    const std::string expected = codeplug::ToText(codeplug::New(EditorState())).value;
    EXPECT_EQ(run("new plain").status, 0);
    EXPECT_EQ(ReadAll(In("plain.bc")), expected);
    EXPECT_EQ(run("new named.bc").status, 0);
    EXPECT_EQ(ReadAll(In("named.bc")), expected);
    EXPECT_FALSE(fs::exists(In("named.bc.bc")));
    EXPECT_EQ(run("new --help").status, 0);
    expectFailure("new", {"usage: radio-cli new FILE.bc"});
    expectFailure("new a.bc b.bc", {"usage"});
    expectFailure("new no/dir/x.bc", {"Cannot create file \"no/dir/x.bc\". No such file or directory"});
}

// The seams of the write and read procedures: the image of a New file, loaded again, gives the
// New state back but for the offsets, which the band decoder shows with five decimals.
TEST_F(Cli, ImageOfNewLoadsBackToNew) {
    ASSERT_EQ(run("new a.bc").status, 0);
    ASSERT_EQ(run("image a.bc a.img").status, 0);
    const std::string img = ReadAll(In("a.img"));
    ASSERT_EQ(img.size(), 7168u);
    const auto hex = [&](std::size_t at, std::size_t n) { return base::BytesToHex(std::string_view(img).substr(at, n)); };
    EXPECT_EQ(hex(0x0000, 0x200), std::string(0x400, 'F'));  // below the first block
    EXPECT_EQ(hex(0x0200, 0x40), "000FFFFF010203000102000406D600320300" + std::string(92, 'F'));  // k5, fill, gap
    EXPECT_EQ(hex(0x02C0, 0x02), "00FF");                                                       // sypz9, gap
    EXPECT_EQ(hex(0x1BE8, 0x18), "FFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFF00FFFFFFFFFFFFFF");           // lower channel 128

    ASSERT_EQ(run("load a.img b").status, 0);
    const auto loaded = codeplug::OpenFile(In("b.bc"));
    ASSERT_TRUE(loaded.ok()) << loaded.error;
    EditorState expected = codeplug::New(EditorState());
    expected.upperBand.offset = expected.lowerBand.offset = "10.00000";
    EXPECT_EQ(loaded.value, expected);
}

TEST_F(Cli, ImageLoadAndShowRefuseWhatTheyCannotUse) {
    EditorState s = codeplug::New(EditorState());
    s.lower.at(3, image::kColRxFreq) = "14x.5";
    ASSERT_TRUE(codeplug::SaveFile(In("bad.bc"), s).ok());
    expectFailure("image bad.bc out.img", {"bad.bc: "});
    expectFailure("image missing.bc out.img", {"Cannot open file \"missing.bc\""});
    expectFailure("image bad.bc", {"usage: radio-cli image FILE.bc OUT.img"});
    std::ofstream(In("short.img")) << std::string(7167, '\xFF');
    expectFailure("load short.img out.bc", {"short.img: 7167 bytes; a memory image has 7168"});
    expectFailure("load missing.img out.bc", {"Cannot open file \"missing.img\". No such file or directory"});
    EXPECT_FALSE(fs::exists(In("out.img")) || fs::exists(In("out.bc")));
    std::ofstream(In("broken.bc")) << "1, , ,\r";
    expectFailure("--lang en show broken.bc", {"broken.bc: List index out of bounds (3)", "record 1 "});
}

// One version for both programs, and the libsodium it runs with.
TEST_F(Cli, VersionNamesTheProgramAndItsLibraries) {
    const Outcome r = run("--version");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("radio-cli " RADIO_VERSION "\n", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("libsodium "), std::string::npos) << r.out;
    EXPECT_TRUE(r.err.empty()) << r.err;
}

// "--" ends the options, so a file may start with a dash; before it a dash means an option,
// which --opt=value spells in one word as well as in two.
TEST_F(Cli, DoubleDashEndsOptionsAndEqualsJoinsAValue) {
    EXPECT_EQ(run("new -- -dash.bc").status, 0);
    EXPECT_TRUE(fs::exists(In("-dash.bc")));
    expectFailure("new -dash.bc", {"usage: radio-cli new FILE.bc"});
    expectFailure("show --", {"usage: radio-cli show FILE.bc"});
    expectFailure("new -- a.bc b.bc", {"usage"});
    EXPECT_EQ(run("show -- -dash.bc").status, 0);
    // --help after "--" is a file name, not a request for help.
    expectFailure("show -- --help", {"Cannot open file \"--help\""});

    EditorState one = codeplug::New(EditorState());
    one.upper.at(1, image::kColRxFreq) = "146.52000";  // a channel to export: an empty band is no CSV
    ASSERT_TRUE(codeplug::SaveFile(In("-dash.bc"), one).ok());
    ASSERT_EQ(run("export-csv -dash.bc --band upper two.csv").status, 2);
    ASSERT_EQ(run("export-csv --band upper -- -dash.bc two.csv").status, 0);
    ASSERT_EQ(run("export-csv --band=upper -- -dash.bc one.csv").status, 0);
    EXPECT_EQ(ReadAll(In("one.csv")), ReadAll(In("two.csv")));
    expectFailure("export-csv --band= -- -dash.bc x.csv", {"usage"});
    expectFailure("export-csv --band=upper --skip-bad=1 -- -dash.bc x.csv", {"usage"});
    expectFailure("import-csv --skip-bad=yes -dash.bc --band upper one.csv", {"--skip-bad takes no value"});
}

TEST_F(Cli, ShowPrintsChannelsAlignedAndEveryPage) {
    EditorState s = codeplug::New(EditorState());
    s.upper.cells[2] = {"2", "145.12500", "67.0HZ", "QT/DQT+信令", "145.12500", "D023N", "双音1+身份码",
                        "关", "高", "宽带", "关", "开", "CH2", ""};
    s.upper.cells[9] = {"9", "", "", "", "438.01250", "OFF", "关", "关", "", "", "", "", "", ""};
    s.upper.at(5, image::kColName) = "NOFREQ";  // no frequency: not listed
    s.general.list[13] = 3;
    s.dtmf.sy[2] = "123";
    s.limits.xp5 = 0;
    ASSERT_TRUE(codeplug::SaveFile(In("s.bc"), s).ok());
    const Outcome r = run("show s.bc");
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> lines;
    std::istringstream in(r.out);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    ASSERT_GT(lines.size(), 7u);
    EXPECT_EQ(lines[0], "上段信道");
    EXPECT_EQ(lines[2].substr(0, 2), "2 ");
    EXPECT_EQ(lines[3].substr(0, 2), "9 ");
    EXPECT_EQ(lines[5], "下段信道");
    EXPECT_EQ(lines[6], "(no channel has a frequency)");
    EXPECT_EQ(r.out.find("NOFREQ"), std::string::npos);
    // Each column starts at the same terminal column in the title line and in the rows.
    const auto column = [](const std::string& line, const std::string& text) {
        return cli::DisplayWidth(line.substr(0, line.find(text)));
    };
    EXPECT_EQ(column(lines[1], "接收频率"), column(lines[2], "145.12500"));
    EXPECT_EQ(column(lines[1], "发射频率"), column(lines[3], "438.01250"));
    EXPECT_EQ(column(lines[1], "发射结束信令"), column(lines[2], "双音1+身份码") + 14);
    EXPECT_EQ(column(lines[1], "信道名称"), column(lines[2], "CH2"));
    const auto shows = [&](const std::string& caption, const std::string& label, const std::string& value) {
        const auto at = r.out.find("\n" + caption + "\n");
        const auto line = r.out.find("\n  " + label, at);
        return at != std::string::npos && line != std::string::npos &&
               r.out.substr(line, r.out.find('\n', line + 1) - line).ends_with(" " + value);
    };
    EXPECT_TRUE(shows("上段设置", "步进频率:", "25K"));
    EXPECT_TRUE(shows("下段设置", "发射差频(MHZ):", "10"));
    EXPECT_TRUE(shows("综合设置", "双音时间:", "200MS"));
    EXPECT_TRUE(shows("双音频组", "当前状态:", "正常"));
    EXPECT_TRUE(shows("双音频组", "DTMF2:", "123"));
    EXPECT_TRUE(shows("限频", "频段限频:", "关"));
}

}  // namespace

// Files no command should read: each is refused at once with one line naming the file and why.
TEST_F(Cli, FifosDevicesFoldersAndHugeFilesAreRefusedAtOnce) {
    ASSERT_EQ(::mkfifo(In("pipe").c_str(), 0600), 0);  // no writer: opening must not wait
    std::ofstream(In("huge"));
    ASSERT_EQ(::truncate(In("huge").c_str(), 3LL << 29), 0);  // 1.5 GiB, sparse
    fs::create_directory(In("folder"));
    ASSERT_EQ(run("new a.bc").status, 0);
    const auto began = std::chrono::steady_clock::now();
    for (const char* cmd : {"show %s", "load %s out.bc", "import-csv %s --band upper a.bc"}) {
        const auto with = [&](const std::string& file) {
            std::string args = cmd;
            return args.replace(args.find("%s"), 2, file);
        };
        expectFailure(with("pipe"), {"\"pipe\"", "Not a regular file"});
        expectFailure(with("/dev/zero"), {"\"/dev/zero\"", "Not a regular file"});
        expectFailure(with("folder"), {"\"folder\"", "Is a directory"});
        expectFailure(with("huge"), {"\"huge\"", "Larger than"});
    }
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(10));  // 12 runs
    expectFailure("show huge", {"Larger than 1048576 bytes"});
    expectFailure("load huge out.bc", {"Larger than 7168 bytes"});
    expectFailure("import-csv huge --band upper a.bc", {"Larger than 4194304 bytes"});
    EXPECT_FALSE(fs::exists(In("out.bc")));
}
