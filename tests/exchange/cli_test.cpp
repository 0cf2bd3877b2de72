// radio-cli diff, export-csv and import-csv as the operator runs them: exit codes, output,
// and what ends up in the files.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "codeplug/codeplug.h"
#include "exchange/chirp_csv.h"
#include "exchange/diff.h"
#include "image/transfer.h"
#include "tests/random_state.h"

namespace {

namespace fs = std::filesystem;

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

class ExchangeCli : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("radio-exchange-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    Outcome run(const std::string& args) {
        const std::string command = "cd '" + dir_.string() + "' && '" RADIO_CLI "' " + args + " >out.txt 2>err.txt";
        const int raw = std::system(command.c_str());
        return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, ReadAll(dir_ / "out.txt"), ReadAll(dir_ / "err.txt")};
    }
    void save(const std::string& name, const image::EditorState& s) {
        ASSERT_TRUE(codeplug::SaveFile((dir_ / name).string(), s).ok());
    }
    image::EditorState open(const std::string& name) {
        auto opened = codeplug::OpenFile((dir_ / name).string());
        EXPECT_TRUE(opened.ok()) << opened.error;
        return opened.value;
    }
    fs::path dir_;
};

TEST_F(ExchangeCli, DiffExitsByWhetherTheFilesDiffer) {
    image::EditorState a = image::NewState();
    image::EditorState b = a;
    b.upper.at(5, image::kColRxFreq) = "145.12500";
    b.general.list[2] = 12;
    save("a.bc", a);
    save("b.bc", b);

    Outcome r = run("diff a.bc a.bc");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    r = run("diff a.bc b.bc");
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(r.out, "上段信道 第5信道, 接收频率: (空) -> 145.12500\n综合设置 音量大小: 15 -> 12\n");
    EXPECT_EQ(run("diff a.bc").status, 2);
    EXPECT_EQ(run("diff a.bc missing.bc").status, 2);
    EXPECT_EQ(run("diff --help").status, 0);
}

TEST_F(ExchangeCli, ExportWritesTheCsvAndCountsItsWarnings) {
    image::EditorState s = random_state::RandomState(3);
    s.lower.at(1, image::kColRxFreq) = "";  // transmit only: no row
    s.lower.at(1, image::kColTxFreq) = "146.00000";
    save("a.bc", s);
    Outcome r = run("--lang en export-csv a.bc --band lower out.csv");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto expected = exchange::ExportCsv(open("a.bc"), image::Band::Lower);
    EXPECT_EQ(ReadAll(dir_ / "out.csv"), expected.text);
    EXPECT_NE(r.err.find("warning: channel 1: a transmit frequency without a receive frequency"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(std::to_string(expected.warnings.size() + expected.olderChirp.size()) + " warnings"), std::string::npos)
        << r.err;
    EXPECT_NE(r.out.find("exported " + std::to_string(expected.written) + " channels"), std::string::npos);

    r = run("export-csv a.bc --band upper -");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, exchange::ExportCsv(open("a.bc"), image::Band::Upper).text);
    // A band with nothing to export: said, exit 1, no file (a header alone CHIRP refuses).
    save("empty.bc", image::NewState());
    for (const char* out : {"none.csv", "-"}) {
        r = run(std::string("export-csv empty.bc --band upper ") + out);
        EXPECT_EQ(r.status, 1) << out;
        EXPECT_EQ(r.out, "") << out;
        EXPECT_NE(r.err.find("上段信道 of empty.bc has no channel with a receive frequency: nothing to export"), std::string::npos)
            << r.err;
    }
    EXPECT_FALSE(fs::exists(dir_ / "none.csv"));
    EXPECT_EQ(run("export-csv a.bc --band middle out.csv").status, 2);
    EXPECT_EQ(run("export-csv a.bc out.csv").status, 2);
    EXPECT_EQ(run("export-csv missing.bc --band upper out.csv").status, 2);
}

TEST_F(ExchangeCli, ImportUpdatesTheFileOrChangesNothing) {
    save("a.bc", image::NewState());
    Outcome r = run("import-csv '" EXCHANGE_DATA "/chirp_repeaters.csv' --band upper a.bc");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("imported 15 channels into 上段信道 of a.bc"), std::string::npos) << r.out;
    const auto expected = exchange::ImportCsv(ReadAll(EXCHANGE_DATA "/chirp_repeaters.csv"), image::NewState(),
                                              image::Band::Upper);
    EXPECT_EQ(open("a.bc").upper, expected.state.upper);

    std::ofstream(dir_ / "bad.csv", std::ios::binary)
        << "Location,Frequency,Duplex,Offset,Mode,Power\r\n30,146.52,,,FM,High\r\n31,180,,,FM,High\r\n32,175,+,5,FM,High\r\n";
    const std::string before = ReadAll(dir_ / "a.bc");
    r = run("--lang en import-csv bad.csv --band upper a.bc");
    EXPECT_EQ(r.status, 1);
    // In English throughout, naming the columns the transmit frequency comes from.
    EXPECT_EQ(r.err,
              "radio-cli import-csv: bad.csv line 3: Frequency 180.000000 is outside 136-176 and 400-490 MHz\n"
              "radio-cli import-csv: bad.csv line 4: Offset 5.000000: the transmit frequency 180.000000 (Frequency "
              "175.000000, Duplex +, Offset 5.000000) is outside 136-176 and 400-490 MHz\n"
              "radio-cli import-csv: nothing imported: 2 bad rows (import the others with --skip-bad)\n");
    EXPECT_NE(r.err.find("--skip-bad"), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(dir_ / "a.bc"), before);

    r = run("--lang en import-csv bad.csv --band upper a.bc --skip-bad");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("skipped bad.csv line 3"), std::string::npos) << r.err;
    EXPECT_NE(r.out.find("imported 1 channels into Upper channels of a.bc, skipped 2 bad rows"), std::string::npos) << r.out;
    EXPECT_EQ(open("a.bc").upper.at(30, image::kColRxFreq), "146.52000");
    EXPECT_EQ(open("a.bc").upper.at(1, image::kColName), "W1AW");

    EXPECT_EQ(run("import-csv bad.csv a.bc").status, 2);
    EXPECT_EQ(run("import-csv missing.csv --band upper a.bc").status, 2);
    EXPECT_EQ(run("import-csv bad.csv --band upper missing.bc").status, 2);
}

// Both bands out and back into a copy of the same file: nothing differs, not a byte of the
// image; what CSV cannot carry is named on stderr.
TEST_F(ExchangeCli, ExportThenImportChangesNothing) {
    image::EditorState s = random_state::RandomState(11);
    s.upperBand.offset = "10";  // typed; a decoded image holds "10.00000"
    save("a.bc", s);
    s.upperBand.offset = "10.00000";
    save("b.bc", s);
    Outcome r = run("diff a.bc b.bc");
    EXPECT_EQ(r.status, 0) << r.out;
    for (const char* band : {"upper", "lower"}) {
        r = run(std::string("--lang en export-csv a.bc --band ") + band + " " + band + ".csv");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find("not written: channel "), std::string::npos) << r.err;
        r = run(std::string("import-csv ") + band + ".csv --band " + band + " b.bc");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.err, "");
    }
    r = run("diff a.bc b.bc");
    EXPECT_EQ(r.status, 0) << r.out;
    EXPECT_EQ(r.out, "");
    const auto a = image::BuildWriteFrames(open("a.bc")), b = image::BuildWriteFrames(open("b.bc"));
    ASSERT_TRUE(a.ok() && b.ok());
    EXPECT_EQ(a.value, b.value);
}

TEST_F(ExchangeCli, ImportCountsLocationsFromTheFirstLocationGiven) {
    save("a.bc", image::NewState());
    const std::string file = "'" EXCHANGE_DATA "/chirp_semicolons_from_zero.csv'";
    Outcome r = run("--lang en import-csv " + file + " --band lower a.bc");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("line 5: Location '0' is no channel: the locations 1..128 are channels 1..128"), std::string::npos)
        << r.err;
    r = run("--lang en import-csv " + file + " --band lower a.bc --first-location 0");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("warning: " EXCHANGE_DATA "/chirp_semicolons_from_zero.csv line 9: Name 'SATELLITE' is longer"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(open("a.bc").lower.at(1, image::kColName), "CALL");
    EXPECT_EQ(open("a.bc").lower.at(4, image::kColName), "SATELLI");
    for (const char* bad : {"-1", "x", "1.5"}) EXPECT_EQ(run("import-csv " + file + " --band lower a.bc --first-location " + bad).status, 2) << bad;
}

}  // namespace
