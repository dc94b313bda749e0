// Collects the benchmark medians and writes the results: a table on standard output,
// bench/results.json, the chart bench/results.svg, and the README's figures.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "bench/scene.h"

namespace bench {

// Prints as the console reporter does and keeps the median real time of every benchmark.
class MedianCollector : public benchmark::ConsoleReporter {
public:
    MedianCollector() : ConsoleReporter(OO_Tabular) {}  // no colour codes: the output is often a log
    void ReportRuns(const std::vector<Run>& runs) override;
    // Nanoseconds per iteration; throws std::out_of_range for a benchmark that did not run.
    double Ns(const std::string& name) const { return medians_.at(name); }

private:
    std::map<std::string, double> medians_;
};

// What the figures were measured on, read from /proc/cpuinfo.
struct Machine {
    std::string model;
    int cores = 0;
    std::vector<std::string> flags;  // of those that choose a kernel: avx2, avx512f
};
Machine ReadMachine();

struct Memory {
    double rssAfter1sKib, rssAfter60sKib, peakKib;
};

struct Results {
    Machine machine;
    std::string kernel;
    double buildTablesMs = 0;
    double backgroundCopyUs = 0, printLinesUs = 0;
    double drawSpriteNs[kEffects] = {};  // over the scene's background
    double drawSpriteWhiteNs[kEffects] = {}, drawSpriteBlackNs[kEffects] = {};  // over flat surfaces, same rounds
    double libraryDrawNs[kEffects] = {};  // glimmerix_draw onto an ARGB8888 image, in the same rounds
    std::map<std::string, double> peersNs;
    std::map<std::string, double> kernelsNs;  // "avx2/real", "avx2/uniform", "scalar/real", …
    double composeMedianUs = 0, composeMaxUs = 0;
    double frameMemcpyUs = 0;  // a plain memcpy of one frame, in the same rounds as composing
    double gatherFloorNs = 0;  // the AVX2 kernel's gathers alone; 0 without AVX2
    double presentOnlyFps = 0, frameLoopFps = 0;  // with the program's presenter
    double frameLoopSdlPresentFps = 0;           // with SDL's, in the same rounds
    bool ownPresenter = false;                    // whether the program's presenter was available
    double startupMs = 0;
    std::optional<Memory> memory;
};

void WriteJson(const Results& r, const std::string& path);
void WriteSvg(const Results& r, const std::string& path);
void PrintTable(const Results& r);
// The blend figures alone (glimmerix_bench --blend).
void PrintBlends(const Results& r);
// Replaces the lines between "<!-- bench -->" and "<!-- /bench -->" in the file with the
// machine and the table of figures and targets; false when the markers are missing.
bool WriteReadmeFigures(const Results& r, const std::string& path);

}  // namespace bench
