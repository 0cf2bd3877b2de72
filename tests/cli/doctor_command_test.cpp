// radio-cli doctor as the operator runs it: the exit status, one JSON object a port, and the
// report file, against virtual radios.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "sim/virtual_radio.h"

namespace {

struct Ran {
    int status;
    std::string out;
};

Ran RadioCli(const std::string& args) {
    Ran run{-1, {}};
    FILE* pipe = ::popen((std::string(RADIO_CLI) + " " + args + " 2>/dev/null").c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    while (const std::size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) run.out.append(buffer, n);
    const int status = ::pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(DoctorCommand, ExitStatusJsonAndReport) {
    const std::string report = (std::filesystem::temp_directory_path() /
                                ("radio-doctor-" + std::to_string(::getpid()) + ".txt")).string();
    struct Case {
        const char* fault;  // the virtual radio's, nullptr for none
        std::string args;
        int status;
        const char* json;  // the line's beginning after the port, "" for no check
    };
    const std::string waits = " --waits-ms 150,300,300,50";
    const Case cases[] = {
        {"none", "--json --report " + report + waits, 0, R"(, "class": "ok", "message": "the radio answers)"},
        {"off", "--json" + waits, 1, R"(, "class": "silent", )"},
        {nullptr, "--bogus", 2, ""},
        {nullptr, "--port /dev/null extra", 2, ""},
        {nullptr, "--port /dev/null --waits-ms 1,2", 2, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args);
        std::unique_ptr<sim::VirtualRadio> radio;
        std::string args = "doctor " + c.args;
        if (c.fault) {
            sim::RadioOptions o;
            o.pacing = false;
            o.fault = sim::FaultPlan::Parse(c.fault).value;
            radio = std::make_unique<sim::VirtualRadio>(o);
            args += " --port " + radio->slavePath();
        }
        const Ran run = RadioCli(args);
        EXPECT_EQ(run.status, c.status) << run.out;
        if (!*c.json) continue;
        const std::string head = "{\"port\": \"" + radio->slavePath() + "\"" + c.json;
        EXPECT_EQ(run.out.compare(0, head.size(), head), 0) << run.out;
        EXPECT_EQ(run.out.find('\n'), run.out.size() - 1) << "one line a port";
        EXPECT_NE(run.out.find(R"("facts": {"device": )"), std::string::npos) << run.out;
    }
    std::stringstream written;
    written << std::ifstream(report).rdbuf();
    EXPECT_NE(written.str().find("system: "), std::string::npos) << written.str();
    EXPECT_NE(written.str().find(" > 50 52 4F 4D 5F 4C 49 4E"), std::string::npos) << written.str();
    EXPECT_NE(written.str().find(" > 45 58 49 54"), std::string::npos) << written.str();
    std::filesystem::remove(report);
}

}  // namespace
