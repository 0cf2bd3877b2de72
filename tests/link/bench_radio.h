// A radio on the bench for the link tests: a virtual radio on a pseudo-terminal, and the
// program's side of the line opened on it as the main window opens Comm1.
#pragma once

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "base/hex.h"
#include "link/line.h"
#include "sim/virtual_radio.h"
#include "tests/short_waits.h"

struct BenchRadio {
    explicit BenchRadio(sim::FaultPlan fault = {}, bool pacing = false) : BenchRadio(options(fault, pacing)) {}
    explicit BenchRadio(const sim::RadioOptions& radioOptions)
        : virtualRadio(radioOptions), line(radiolink::LineSettings{ShortWaits()}) {
        const auto opened = line.open(virtualRadio.slavePath());
        EXPECT_TRUE(opened.ok()) << opened.message();
    }

    static sim::RadioOptions options(sim::FaultPlan fault, bool pacing) {
        sim::RadioOptions o;
        o.pacing = pacing;
        o.fault = fault;
        return o;
    }
    static sim::FaultPlan plan(const char* text) { return sim::FaultPlan::Parse(text).value; }

    // The frames the radio received, as hex text.
    std::vector<std::string> frames() const {
        std::vector<std::string> out;
        for (const auto& f : virtualRadio.frames()) out.push_back(base::BytesToHex(f));
        return out;
    }

    // The frames once the radio has taken the closing "EXIT" (it arrives after the procedure
    // returns).
    std::vector<std::string> framesAfterExit() const {
        for (int i = 0; i < 200; ++i) {
            auto f = frames();
            if (!f.empty() && f.back() == "45584954") return f;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return frames();
    }

    sim::VirtualRadio virtualRadio;
    radiolink::Line line;
    serial::TComm& comm = line.comm();
    radiolink::Radio& radio = line.radio();
};

inline const std::string kPromLin = "50524F4D5F4C494E";
inline const std::string kExit = "45584954";
