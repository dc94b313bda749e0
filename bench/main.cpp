// glimmerix_bench: every performance figure of the project in one run. Needs a display
// (bench.sh starts Xvfb where there is none) and the data files beside it.
//   glimmerix_bench --program=build/glimmerix [--memory=RSS1S,RSS60S,PEAK (KiB)]
//                   [--json=bench/results.json] [--svg=bench/results.svg] [--quick]
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "bench/program.h"
#include "bench/report.h"
#include "bench/scene.h"
#include "bench/side_by_side.h"
#include "bench/startup_probe.h"
#include "effects/blend_kernel.h"

namespace {

std::string CpuModel() {
    std::ifstream cpuinfo("/proc/cpuinfo");
    for (std::string line; std::getline(cpuinfo, line);) {
        if (line.rfind("model name", 0) == 0) return line.substr(line.find(':') + 2);
    }
    return "unknown CPU";
}

}  // namespace

int main(int argc, char** argv) {
    std::string program = "build/glimmerix", json = "bench/results.json", svg = "bench/results.svg", memory;
    bool quick = false;
    std::vector<char*> rest = {argv[0]};
    std::string repetitions = "--benchmark_repetitions=25";
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a.rfind("--program=", 0) == 0) program = a.substr(10);
        else if (a.rfind("--json=", 0) == 0) json = a.substr(7);
        else if (a.rfind("--svg=", 0) == 0) svg = a.substr(6);
        else if (a.rfind("--memory=", 0) == 0) memory = a.substr(9);
        else if (a == "--quick") quick = true, repetitions = "--benchmark_repetitions=6";
        else rest.push_back(argv[i]);
    }
    // The repetitions of all benchmarks run in a shuffled order, so that a burst of load
    // from elsewhere on this shared machine falls on all of them alike, not on a few.
    // Many short repetitions spread that load more evenly than a few long ones.
    static char reps[64], aggregates[] = "--benchmark_report_aggregates_only=true",
                          interleave[] = "--benchmark_enable_random_interleaving=true",
                          minTime[] = "--benchmark_min_time=0.02";
    std::snprintf(reps, sizeof reps, "%s", repetitions.c_str());
    rest.insert(rest.begin() + 1, {reps, aggregates, interleave, minTime});
    int n = static_cast<int>(rest.size());
    benchmark::Initialize(&n, rest.data());

    try {
        bench::GetScene();
        bench::GetProgram();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "glimmerix_bench: %s\n", e.what());
        return 1;
    }
    bench::MedianCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);

    bench::Results r;
    r.machine = CpuModel() + ", " + std::to_string(std::max(1, static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)))) + " cores";
    r.kernel = mdlEffects::SelectedKernelName();
    try {
        r.buildTablesMs = collector.Ns("BM_BuildEffectTables") / 1e6;
        r.backgroundCopyUs = collector.Ns("BM_BackgroundCopy") / 1e3;
        r.printLinesUs = collector.Ns("BM_PrintLines") / 1e3;
    } catch (const std::out_of_range&) {
        std::fprintf(stderr, "glimmerix_bench: a benchmark did not run (was --benchmark_filter given?)\n");
        return 1;
    }
    const int rounds = quick ? 300 : 2000;
    const std::map<std::string, double> blends = bench::SideBySide(bench::BlendCases(), rounds);
    for (int e = 0; e < 18; ++e) {
        r.drawSpriteNs[e] = blends.at("draw/" + std::to_string(e));
        r.libraryDrawNs[e] = blends.at("library/" + std::to_string(e));
    }
    for (const auto& [name, ns] : blends) {
        if (name.rfind("kernel/", 0) == 0) r.kernelsNs[name.substr(7)] = ns;
        else if (name.rfind("draw/", 0) != 0 && name.rfind("library/", 0) != 0) r.peersNs[name] = ns;
    }
    const std::map<std::string, double> frames = bench::SideBySide(bench::ComposeCases(), rounds / 2);
    std::vector<double> compose;
    for (const auto& [name, ns] : frames) compose.push_back(ns / 1e3);
    std::sort(compose.begin(), compose.end());
    r.composeMedianUs = compose[compose.size() / 2];
    r.composeMaxUs = compose.back();
    const bench::LoopRates rates = bench::MeasureLoopRates(quick ? 1 : 3, quick ? 0.5 : 2.0);
    r.presentOnlyFps = rates.presentOnly;
    r.frameLoopFps = rates.frameLoop;
    std::vector<double> startups;
    for (int i = 0; i < 5; ++i) startups.push_back(bench::MeasureStartup(program));
    std::sort(startups.begin(), startups.end());
    r.startupMs = startups[2];
    bench::Memory m{};
    if (!memory.empty() && std::sscanf(memory.c_str(), "%lf,%lf,%lf", &m.rssAfter1sKib, &m.rssAfter60sKib, &m.peakKib) == 3) {
        r.memory = m;
    }
    bench::WriteJson(r, json);
    bench::WriteSvg(r, svg);
    bench::PrintTable(r);
    return 0;
}
