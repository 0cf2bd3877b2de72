// Save and Open of a full codeplug: all 256 channels set, every page filled.
#include <benchmark/benchmark.h>

#include "codeplug/codeplug.h"

namespace {

image::EditorState FullState() {
    image::EditorState s = codeplug::New(image::EditorState());
    for (image::Grid* g : {&s.upper, &s.lower}) {
        for (int r = 1; r <= image::kChannels; ++r) {
            g->cells[static_cast<std::size_t>(r)] = {std::to_string(r), "145.12500", "67.0HZ", "QT/DQT+信令",
                                                     "438.01250", "D023N", "双音1", "关", "高", "宽带", "关", "开",
                                                     "CH" + std::to_string(r), ""};
        }
    }
    s.upperBand.rxFreq = "150.05000";
    s.general.radioFreq = "94.5";
    s.limits.kaiji1 = "HELLO";
    s.limits.kaiji2 = "WORLD";
    for (int n = 1; n <= 8; ++n) s.dtmf.sy[static_cast<std::size_t>(n)] = "123*#";
    return s;
}

void BM_Save(benchmark::State& st) {
    const image::EditorState s = FullState();
    std::size_t bytes = 0;
    for (auto _ : st) {
        auto text = codeplug::ToText(s);
        bytes = text.value.size();
        benchmark::DoNotOptimize(text);
    }
    st.counters["file_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_Save)->Unit(benchmark::kMicrosecond);

void BM_Open(benchmark::State& st) {
    const std::string bytes = codeplug::ToText(FullState()).value;
    const image::EditorState current;
    for (auto _ : st) {
        auto opened = codeplug::FromText(bytes, current);
        if (!opened.ok()) st.SkipWithError(opened.error.c_str());
        benchmark::DoNotOptimize(opened);
    }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
