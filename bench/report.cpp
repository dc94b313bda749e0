#include "bench/report.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <vector>

namespace bench {
namespace {

constexpr double kSpritePixels = 47.0 * 47.0;

double Spread(const Results& r) {
    const auto [lo, hi] = std::minmax_element(std::begin(r.drawSpriteNs), std::end(r.drawSpriteNs));
    return *hi / *lo;
}

double MaxDraw(const Results& r) { return *std::max_element(std::begin(r.drawSpriteNs), std::end(r.drawSpriteNs)); }

double MaxLibraryDraw(const Results& r) {
    return *std::max_element(std::begin(r.libraryDrawNs), std::end(r.libraryDrawNs));
}

}  // namespace

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
    char buf[64];
    const auto num = [&](double v) {
        std::snprintf(buf, sizeof buf, "%.4g", v);
        return std::string(buf);
    };
    out << "{\n  \"machine\": \"" << r.machine << "\",\n  \"kernel\": \"" << r.kernel << "\",\n";
    out << "  \"build_tables_ms\": " << num(r.buildTablesMs) << ",\n";
    out << "  \"draw_sprite_ns\": {";
    for (int e = 0; e < 18; ++e) out << (e ? ", " : "") << "\"" << e << "\": " << num(r.drawSpriteNs[e]);
    out << "},\n";
    out << "  \"library_draw_ns\": " << num(MaxLibraryDraw(r)) << ",\n";
    out << "  \"effect_spread\": " << num(Spread(r)) << ",\n  \"peers_ns\": {";
    bool first = true;
    for (const auto& [name, ns] : r.peersNs) {
        out << (first ? "" : ", ") << "\"" << name << "\": " << num(ns);
        first = false;
    }
    out << "},\n  \"kernels_ns\": {";
    first = true;
    for (const auto& [name, ns] : r.kernelsNs) {
        out << (first ? "" : ", ") << "\"" << name << "\": " << num(ns);
        first = false;
    }
    out << "},\n  \"frame_compose_us\": {\"median\": " << num(r.composeMedianUs) << ", \"max\": " << num(r.composeMaxUs)
        << ", \"background_copy\": " << num(r.backgroundCopyUs) << ", \"four_lines_of_text\": " << num(r.printLinesUs)
        << "},\n";
    out << "  \"present_only_fps\": " << num(r.presentOnlyFps) << ",\n  \"frame_loop_fps\": " << num(r.frameLoopFps)
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
    for (int e = 0; e < 18; ++e) bars.push_back({"effect " + std::to_string(e), r.drawSpriteNs[e] / kSpritePixels, "#3b7dd8"});
    for (const auto& [name, ns] : r.peersNs) bars.push_back({name, ns / kSpritePixels, name.rfind("sdl", 0) == 0 ? "#d8833b" : "#8a5cc2"});
    double top = 0;
    for (const Bar& b : bars) top = std::max(top, b.nsPerPixel);
    const int left = 130, width = 560, row = 18, height = static_cast<int>(bars.size()) * row + 60;
    std::ofstream out(path);
    out << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << left + width + 80 << "\" height=\"" << height
        << "\" font-family=\"sans-serif\" font-size=\"11\">\n<rect width=\"100%\" height=\"100%\" fill=\"white\"/>\n"
        << "<text x=\"10\" y=\"18\" font-size=\"13\">ns per sprite pixel: DrawSprite's 18 effects (blue), pixman (purple), "
           "SDL (orange); 47 x 47 sprite, 320 x 240 buffer</text>\n";
    for (std::size_t i = 0; i < bars.size(); ++i) {
        const int y = 32 + static_cast<int>(i) * row;
        const double w = bars[i].nsPerPixel / top * width;
        char value[32];
        std::snprintf(value, sizeof value, "%.2f", bars[i].nsPerPixel);
        out << "<text x=\"" << left - 6 << "\" y=\"" << y + 12 << "\" text-anchor=\"end\">" << bars[i].label << "</text>"
            << "<rect x=\"" << left << "\" y=\"" << y << "\" width=\"" << w << "\" height=\"" << row - 4 << "\" fill=\""
            << bars[i].colour << "\"/>" << "<text x=\"" << left + w + 4 << "\" y=\"" << y + 12 << "\">" << value
            << "</text>\n";
    }
    out << "</svg>\n";
}

void PrintTable(const Results& r) {
    const double pixman = r.peersNs.at("pixman_add");
    const double draw = MaxDraw(r);
    struct Line {
        std::string what, value, target;
        bool met;
    };
    char v[96];
    const auto f = [&](const char* fmt, double x) {
        std::snprintf(v, sizeof v, fmt, x);
        return std::string(v);
    };
    const double worstPdf = std::min({r.peersNs.at("pixman_multiply"), r.peersNs.at("pixman_screen"),
                                      r.peersNs.at("pixman_difference")});
    const std::vector<Line> lines = {
        {"build_tables_ms (median)", f("%.2f", r.buildTablesMs), "<= 2.5", r.buildTablesMs <= 2.5},
        {"DrawSprite ns/call, slowest effect", f("%.0f", draw), "", true},
        {"DrawSprite ns/pixel, slowest effect", f("%.3f", draw / kSpritePixels), "<= 1.3", draw / kSpritePixels <= 1.3},
        {"library_draw_ns (glimmerix_draw, ARGB8888, slowest effect)", f("%.0f", MaxLibraryDraw(r)), "", true},
        {"library_draw_ns / slowest DrawSprite", f("%.3f", MaxLibraryDraw(r) / draw), "<= 1.05",
         MaxLibraryDraw(r) / draw <= 1.05},
        {"effect_spread (max/min)", f("%.3f", Spread(r)), "<= 1.10", Spread(r) <= 1.10},
        {"DrawSprite / pixman ADD", f("%.2f", draw / pixman), "<= 2.5", draw / pixman <= 2.5},
        {"DrawSprite / pixman MULTIPLY,SCREEN,DIFFERENCE (fastest)", f("%.3f", draw / worstPdf), "<= 0.2",
         draw / worstPdf <= 0.2},
        {"DrawSprite / pixman SOFT_LIGHT", f("%.3f", draw / r.peersNs.at("pixman_soft_light")), "<= 0.1",
         draw / r.peersNs.at("pixman_soft_light") <= 0.1},
        {"frame_compose_us median", f("%.2f", r.composeMedianUs), "", true},
        {"  of which background copy (us)", f("%.2f", r.backgroundCopyUs), "", true},
        {"  of which four lines of text (us)", f("%.2f", r.printLinesUs), "", true},
        {"frame_compose_us max", f("%.2f", r.composeMaxUs), "<= 14", r.composeMaxUs <= 14},
        {"present_only_fps", f("%.0f", r.presentOnlyFps), "", true},
        {"frame_loop_fps", f("%.0f", r.frameLoopFps), "", true},
        {"frame_loop / present_only", f("%.3f", r.frameLoopFps / r.presentOnlyFps), ">= 0.75",
         r.frameLoopFps / r.presentOnlyFps >= 0.75},
        {"startup_ms (median of 5)", f("%.1f", r.startupMs), "<= 100", r.startupMs >= 0 && r.startupMs <= 100},
    };
    std::printf("\nGlimmerix benchmark on %s (blend kernel: %s)\n", r.machine.c_str(), r.kernel.c_str());
    std::printf("%-58s %12s %10s  %s\n", "measure", "value", "target", "");
    for (const Line& l : lines) {
        std::printf("%-58s %12s %10s  %s\n", l.what.c_str(), l.value.c_str(), l.target.c_str(),
                    l.target.empty() ? "" : (l.met ? "met" : "MISSED"));
    }
    for (const auto& [name, ns] : r.peersNs) std::printf("  peer %-20s %10.0f ns/call %8.3f ns/pixel\n", name.c_str(), ns, ns / kSpritePixels);
    for (const auto& [name, ns] : r.kernelsNs) std::printf("  kernel %-18s %10.0f ns/call %8.3f ns/pixel\n", name.c_str(), ns, ns / kSpritePixels);
    if (r.memory) {
        std::printf("program resident memory: %.0f KiB after 1 s, %.0f KiB after 60 s, peak %.0f KiB\n", r.memory->rssAfter1sKib,
                    r.memory->rssAfter60sKib, r.memory->peakKib);
    }
}

}  // namespace bench
