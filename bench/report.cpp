#include "bench/report.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <vector>

namespace bench {
namespace {

double Slowest(const double (&ns)[kEffects]) { return *std::max_element(std::begin(ns), std::end(ns)); }
double Fastest(const double (&ns)[kEffects]) { return *std::min_element(std::begin(ns), std::end(ns)); }
double Spread(const Results& r) { return Slowest(r.drawSpriteNs) / Fastest(r.drawSpriteNs); }
// Slowest over fastest DrawSprite across every effect over the picture, white and black.
double SurfaceSpread(const Results& r) {
    double slowest = 0, fastest = 1e300;
    for (const auto* ns : {&r.drawSpriteNs, &r.drawSpriteWhiteNs, &r.drawSpriteBlackNs}) {
        slowest = std::max(slowest, Slowest(*ns));
        fastest = std::min(fastest, Fastest(*ns));
    }
    return slowest / fastest;
}

std::string Format(const char* format, double v) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

std::string MachineText(const Machine& m) {
    std::string text = m.model + ", " + std::to_string(m.cores) + " cores";
    for (const std::string& f : m.flags) text += ", " + f;
    return text;
}

// One line of the results: a figure, and its target where it has one.
struct Row {
    std::string measure, value, target;
    bool met = true;
};

// Every figure with a target, then the figures that explain them; the table on standard
// output and the README's are both this list.
std::vector<Row> Rows(const Results& r) {
    const double draw = Slowest(r.drawSpriteNs), library = Slowest(r.libraryDrawNs);
    const double add = r.peersNs.at("pixman_add");
    std::vector<Row> rows = {
        {"`BuildEffectTables` (median)", Format("%.2f ms", r.buildTablesMs), "≤ 2.5 ms", r.buildTablesMs <= 2.5},
        {"`DrawSprite`, slowest effect", Format("%.0f ns", draw) + Format(" (%.3f ns per pixel)", draw / kSpritePixels), ""},
        {"slowest `DrawSprite` / pixman ADD", Format("%.2f", draw / add), "≤ 7.0", draw / add <= 7.0},
    };
    for (const char* peer : {"multiply", "screen", "difference"}) {
        const double ratio = draw / r.peersNs.at(std::string("pixman_") + peer);
        rows.push_back({std::string("slowest `DrawSprite` / pixman ") + peer, Format("%.3f", ratio), "≤ 0.14", ratio <= 0.14});
    }
    const double soft = draw / r.peersNs.at("pixman_soft_light");
    const double compose = r.composeMaxUs / r.frameMemcpyUs;
    const double loop = r.frameLoopFps / r.presentOnlyFps;
    const double presenters = r.frameLoopFps / r.frameLoopSdlPresentFps;
    const double floor = r.gatherFloorNs > 0 ? draw / r.gatherFloorNs : 0;
    rows.insert(rows.end(), {
        {"slowest `DrawSprite` / pixman soft_light", Format("%.3f", soft), "≤ 0.09", soft <= 0.09},
        {"effect spread (slowest / fastest `DrawSprite`)", Format("%.3f", Spread(r)), "≤ 1.10", Spread(r) <= 1.10},
        {"spread over 18 effects × {picture, white, black} (slowest / fastest `DrawSprite`)",
         Format("%.3f", SurfaceSpread(r)), "≤ 1.15", SurfaceSpread(r) <= 1.15},
        {"`glimmerix_draw` (ARGB8888), slowest effect / slowest `DrawSprite`", Format("%.3f", library / draw), "≤ 1.05",
         library / draw <= 1.05},
        {"slowest `DrawSprite` / its gathers alone (AVX2)",
         Format("%.0f", draw) + Format(" / %.0f ns = ", r.gatherFloorNs) + Format("%.2f", floor), "≤ 1.4",
         floor > 0 && floor <= 1.4},
        {"composed frame (what moved), slowest effect / warm `memcpy` of one frame",
         Format("%.2f", r.composeMaxUs) + Format(" / %.2f µs = ", r.frameMemcpyUs) + Format("%.2f", compose), "≤ 1.5",
         compose <= 1.5},
        {std::string("frame loop, ") + (r.ownPresenter ? "shared images" : "SDL (no shared memory)") + " / SDL's present",
         Format("%.0f", r.frameLoopFps) + Format(" / %.0f fps = ", r.frameLoopSdlPresentFps) + Format("%.2f", presenters),
         "≥ 2.5", presenters >= 2.5},
        {"frame loop / bare present loop", Format("%.0f", r.frameLoopFps) + Format(" / %.0f fps = ", r.presentOnlyFps) +
                                               Format("%.3f", loop), "≥ 0.85", loop >= 0.85},
        {"start to main window mapped (median of 5)", Format("%.1f ms", r.startupMs), "≤ 100 ms",
         r.startupMs >= 0 && r.startupMs <= 100},
        {"composed frame, median effect", Format("%.2f µs", r.composeMedianUs), ""},
        {"background copy / four lines of text (alone)", Format("%.2f", r.backgroundCopyUs) + Format(" / %.2f µs", r.printLinesUs), ""},
    });
    for (const auto& [name, ns] : r.kernelsNs)
        rows.push_back({"kernel " + name, Format("%.0f ns", ns) + Format(" (%.3f ns per pixel)", ns / kSpritePixels), ""});
    for (const auto& [name, ns] : r.peersNs)
        rows.push_back({"peer " + name, Format("%.0f ns", ns) + Format(" (%.3f ns per pixel)", ns / kSpritePixels), ""});
    if (r.memory) {
        rows.push_back({"resident memory after 1 s / 60 s / peak",
                        Format("%.0f", r.memory->rssAfter1sKib) + Format(" / %.0f", r.memory->rssAfter60sKib) +
                            Format(" / %.0f KiB", r.memory->peakKib),
                        "no growth", r.memory->rssAfter60sKib <= r.memory->rssAfter1sKib * 1.01});
    }
    return rows;
}

}  // namespace

Machine ReadMachine() {
    Machine m;
    std::ifstream cpuinfo("/proc/cpuinfo");
    std::string flags;
    for (std::string line; std::getline(cpuinfo, line);) {
        const auto value = [&] { return line.substr(line.find(':') + 2); };
        if (m.model.empty() && line.rfind("model name", 0) == 0) m.model = value();
        if (flags.empty() && line.rfind("flags", 0) == 0) flags.append(" ").append(value()).append(" ");
    }
    if (m.model.empty()) m.model = "unknown processor";
    m.cores = std::max(1, static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN)));
    for (const char* flag : {"avx2", "avx512f"}) {
        const std::string word = std::string(" ").append(flag).append(" ");
        if (flags.find(word) != std::string::npos) m.flags.emplace_back(flag);
    }
    return m;
}

void MedianCollector::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median") {
            medians_[run.run_name.str()] = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e9;
        }
    }
}

void WriteJson(const Results& r, const std::string& path) {
    std::ofstream out(path);
    const auto num = [](double v) { return Format("%.4g", v); };
    const auto map = [&](const std::map<std::string, double>& m) {
        std::string text;
        for (const auto& [name, ns] : m) {
            text.append(text.empty() ? "\"" : ", \"").append(name).append("\": ").append(num(ns));
        }
        return "{" + text + "}";
    };
    const auto perEffect = [&](const double (&ns)[kEffects]) {
        std::string text;
        for (int e = 0; e < kEffects; ++e) {
            text.append(e ? ", \"" : "\"").append(std::to_string(e)).append("\": ").append(num(ns[e]));
        }
        return "{" + text + "}";
    };
    std::string flags;
    for (const std::string& f : r.machine.flags) flags.append(flags.empty() ? "\"" : ", \"").append(f).append("\"");
    out << "{\n  \"machine\": {\"model\": \"" << r.machine.model << "\", \"cores\": " << r.machine.cores
        << ", \"flags\": [" << flags << "]},\n  \"kernel\": \"" << r.kernel << "\",\n";
    out << "  \"build_tables_ms\": " << num(r.buildTablesMs) << ",\n";
    out << "  \"draw_sprite_ns\": " << perEffect(r.drawSpriteNs) << ",\n";
    out << "  \"draw_sprite_ns_by_surface\": {\"real\": " << perEffect(r.drawSpriteNs) << ", \"white\": "
        << perEffect(r.drawSpriteWhiteNs) << ", \"black\": " << perEffect(r.drawSpriteBlackNs) << "},\n";
    out << "  \"surface_spread\": " << num(SurfaceSpread(r)) << ",\n";
    out << "  \"library_draw_ns\": " << num(Slowest(r.libraryDrawNs)) << ",\n";
    out << "  \"library_draw_ns_per_effect\": " << perEffect(r.libraryDrawNs) << ",\n";
    out << "  \"effect_spread\": " << num(Spread(r)) << ",\n  \"peers_ns\": " << map(r.peersNs) << ",\n";
    out << "  \"kernels_ns\": " << map(r.kernelsNs) << ",\n";
    out << "  \"frame_compose_us\": {\"median\": " << num(r.composeMedianUs) << ", \"max\": " << num(r.composeMaxUs)
        << ", \"memcpy\": " << num(r.frameMemcpyUs) << ", \"background_copy\": " << num(r.backgroundCopyUs)
        << ", \"four_lines_of_text\": " << num(r.printLinesUs) << "},\n";
    out << "  \"gather_floor_ns\": " << num(r.gatherFloorNs) << ",\n";
    out << "  \"present_path\": \"" << (r.ownPresenter ? "shared images" : "sdl") << "\",\n";
    out << "  \"present_only_fps\": " << num(r.presentOnlyFps) << ",\n  \"frame_loop_fps\": " << num(r.frameLoopFps)
        << ",\n  \"frame_loop_fps_sdl_present\": " << num(r.frameLoopSdlPresentFps)
        << ",\n  \"startup_ms\": " << num(r.startupMs);
    if (r.memory) {
        out << ",\n  \"memory_kib\": {\"rss_after_1s\": " << num(r.memory->rssAfter1sKib) << ", \"rss_after_60s\": "
            << num(r.memory->rssAfter60sKib) << ", \"peak\": " << num(r.memory->peakKib) << "}";
    }
    out << "\n}\n";
}

void WriteSvg(const Results& r, const std::string& path) {
    struct Bar {
        std::string label;
        double nsPerPixel;
        const char* colour;
    };
    std::vector<Bar> bars;
    for (int e = 0; e < kEffects; ++e) bars.push_back({"effect " + std::to_string(e), r.drawSpriteNs[e] / kSpritePixels, "#3b7dd8"});
    for (const auto& [name, ns] : r.peersNs) bars.push_back({name, ns / kSpritePixels, name.rfind("sdl", 0) == 0 ? "#d8833b" : "#8a5cc2"});
    double top = 0;
    for (const Bar& b : bars) top = std::max(top, b.nsPerPixel);
    const int left = 130, width = 560, row = 18, height = static_cast<int>(bars.size()) * row + 60;
    std::ofstream out(path);
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << left + width + 80 << "\" height=\"" << height
        << "\" font-family=\"sans-serif\" font-size=\"11\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
        << "<text x=\"10\" y=\"18\" font-size=\"13\">ns per sprite pixel: DrawSprite's " << kEffects
        << " effects (blue), pixman (purple), SDL (orange); " << kSprite << " x " << kSprite << " sprite, " << kSceneWidth
        << " x " << kSceneHeight << " buffer</text>\n";
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const int y = 32 + static_cast<int>(i) * row;
        const double w = bars[i].nsPerPixel / top * width;
        out << "<text x=\"" << left - 6 << "\" y=\"" << y + 12 << "\" text-anchor=\"end\">" << bars[i].label << "</text>"
            << "<rect x=\"" << left << "\" y=\"" << y << "\" width=\"" << w << "\" height=\"" << row - 4 << "\" fill=\""
            << bars[i].colour << "\"/>" << "<text x=\"" << left + w + 4 << "\" y=\"" << y + 12 << "\">"
            << Format("%.2f", bars[i].nsPerPixel) << "</text>\n";
    }
    out << "</svg>\n";
}

void PrintTable(const Results& r) {
    std::printf("\nGlimmerix benchmark on %s (blend kernel: %s)\n", MachineText(r.machine).c_str(), r.kernel.c_str());
    for (const Row& row : Rows(r)) {
        std::printf("%-70s %32s %10s  %s\n", row.measure.c_str(), row.value.c_str(), row.target.c_str(),
                    row.target.empty() ? "" : (row.met ? "met" : "MISSED"));
    }
}

void PrintBlends(const Results& r) {
    std::printf("blend kernel: %s on %s\n", r.kernel.c_str(), MachineText(r.machine).c_str());
    const double add = r.peersNs.at("pixman_add");
    std::printf("DrawSprite slowest %.0f ns (%.3f ns/pixel), fastest %.0f ns; / pixman ADD %.2f\n", Slowest(r.drawSpriteNs),
                Slowest(r.drawSpriteNs) / kSpritePixels, Fastest(r.drawSpriteNs), Slowest(r.drawSpriteNs) / add);
    std::printf("glimmerix_draw slowest %.0f ns; / slowest DrawSprite %.3f\n", Slowest(r.libraryDrawNs),
                Slowest(r.libraryDrawNs) / Slowest(r.drawSpriteNs));
    std::printf("DrawSprite over white %.0f..%.0f ns, over black %.0f..%.0f ns; spread over all surfaces %.3f\n",
                Fastest(r.drawSpriteWhiteNs), Slowest(r.drawSpriteWhiteNs), Fastest(r.drawSpriteBlackNs),
                Slowest(r.drawSpriteBlackNs), SurfaceSpread(r));
    for (int e = 0; e < kEffects; ++e)
        std::printf("  effect %2d: picture %6.0f  white %6.0f  black %6.0f ns\n", e, r.drawSpriteNs[e], r.drawSpriteWhiteNs[e],
                    r.drawSpriteBlackNs[e]);
    if (r.gatherFloorNs > 0)
        std::printf("gathers alone %.0f ns; slowest DrawSprite over the picture / them %.2f\n", r.gatherFloorNs,
                    Slowest(r.drawSpriteNs) / r.gatherFloorNs);
    for (const auto& [name, ns] : r.kernelsNs) std::printf("kernel %-24s %8.0f ns %7.3f ns/pixel\n", name.c_str(), ns, ns / kSpritePixels);
    for (const auto& [name, ns] : r.peersNs) std::printf("peer %-26s %8.0f ns %7.3f ns/pixel\n", name.c_str(), ns, ns / kSpritePixels);
}

bool WriteReadmeFigures(const Results& r, const std::string& path) {
    std::ifstream in(path);
    std::stringstream whole;
    whole << in.rdbuf();
    const std::string text = whole.str(), begin = "<!-- bench -->\n", end = "<!-- /bench -->";
    const auto from = text.find(begin), to = text.find(end);
    if (from == std::string::npos || to == std::string::npos || to < from) return false;
    std::string figures = "Measured on " + MachineText(r.machine) + " (blend kernel: " + r.kernel +
                          "), one run of `./bench.sh`, written by it from\n[`bench/results.json`](bench/results.json):\n\n"
                          "| measure | value | target |\n|---|---|---|\n";
    for (const Row& row : Rows(r)) {
        figures += "| " + row.measure + " | " + row.value + " | " +
                   (row.target.empty() ? "" : row.target + (row.met ? ": met" : ": **missed**")) + " |\n";
    }
    std::ofstream out(path);
    out << text.substr(0, from + begin.size()) << figures << text.substr(to);
    return static_cast<bool>(out);
}

}  // namespace bench
