// LevelPlot: two panels sharing the time axis: levels (-60 to 0 dBFS) and gain reduction.
#include "tools/render/LevelPlot.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "tools/render/RenderPlugin.h"

namespace {

constexpr double kLeft = 90, kRight = 30, kTop = 56, kGap = 56, kBottom = 62;
constexpr double kLevelFloor = -60.0;

struct Panel {
    double x, y, width, height;
};

// A step for about `wanted` ticks over range, from 1, 2, 2.5, 5 times a power of ten.
double niceStep(double range, int wanted) {
    const double raw = range / wanted;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0}) {
        if (m * power >= raw) return m * power;
    }
    return 10.0 * power;
}

void text(cairo_t* cr, double x, double y, const std::string& s, double alignX, double alignY, double size = 13) {
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, s.c_str(), &e);
    cairo_move_to(cr, x - e.width * alignX - e.x_bearing, y - e.height * alignY - e.y_bearing);
    cairo_show_text(cr, s.c_str());
}

void verticalLabel(cairo_t* cr, double x, double y, const std::string& s) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, -M_PI / 2);
    text(cr, 0, 0, s, 0.5, 0.5, 14);
    cairo_restore(cr);
}

std::string number(double v) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%g", std::fabs(v) < 1e-9 ? 0.0 : v);
    return buffer;
}

void frame(cairo_t* cr, const Panel& p) {
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_rectangle(cr, p.x, p.y, p.width, p.height);
    cairo_fill(cr);
}

void gridY(cairo_t* cr, const Panel& p, double top, double bottom, double step) {
    cairo_set_line_width(cr, 1);
    for (double v = top; v >= bottom - 1e-9; v -= step) {
        const double y = std::round(p.y + (top - v) / (top - bottom) * p.height) + 0.5;
        cairo_set_source_rgb(cr, 0.86, 0.86, 0.86);
        cairo_move_to(cr, p.x, y);
        cairo_line_to(cr, p.x + p.width, y);
        cairo_stroke(cr);
        cairo_set_source_rgb(cr, 0.15, 0.15, 0.15);
        text(cr, p.x - 8, y, number(v), 1.0, 0.5);
    }
}

void gridX(cairo_t* cr, const Panel& p, double seconds, double step, bool labels) {
    cairo_set_line_width(cr, 1);
    for (double t = 0; t <= seconds + 1e-9; t += step) {
        const double x = std::round(p.x + t / seconds * p.width) + 0.5;
        cairo_set_source_rgb(cr, 0.86, 0.86, 0.86);
        cairo_move_to(cr, x, p.y);
        cairo_line_to(cr, x, p.y + p.height);
        cairo_stroke(cr);
        if (labels) {
            cairo_set_source_rgb(cr, 0.15, 0.15, 0.15);
            text(cr, x, p.y + p.height + 8, number(t), 0.5, 0.0);
        }
    }
}

void border(cairo_t* cr, const Panel& p) {
    cairo_set_source_rgb(cr, 0.3, 0.3, 0.3);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, p.x + 0.5, p.y + 0.5, p.width - 1, p.height - 1);
    cairo_stroke(cr);
}

// Each pixel column takes the bins whose start falls in it (at least the one under it).
std::vector<LevelBin> binColumns(const std::vector<LevelBin>& bins, int columns) {
    std::vector<LevelBin> column(static_cast<size_t>(columns));
    if (bins.empty()) return column;
    for (int x = 0; x < columns; ++x) {
        const size_t first = static_cast<size_t>(static_cast<double>(x) / columns * bins.size());
        size_t last = static_cast<size_t>(static_cast<double>(x + 1) / columns * bins.size());
        last = std::min(std::max(last, first + 1), bins.size());
        for (size_t b = first; b < last; ++b) {
            column[x].inputPeak = std::max(column[x].inputPeak, bins[b].inputPeak);
            column[x].outputPeak = std::max(column[x].outputPeak, bins[b].outputPeak);
            column[x].smallestGain = std::min(column[x].smallestGain, bins[b].smallestGain);
        }
    }
    return column;
}

// Input peaks as a grey area, output peaks as a blue line over it.
void drawLevels(cairo_t* cr, const Panel& levels, const std::vector<LevelBin>& column) {
    const int columns = static_cast<int>(column.size());
    auto levelY = [&](float peak) {
        const double db = std::max(kLevelFloor, std::min(0.0, RenderStats::decibels(peak)));
        return levels.y + (0.0 - db) / (0.0 - kLevelFloor) * levels.height;
    };
    cairo_set_source_rgb(cr, 0.72, 0.72, 0.72);
    cairo_move_to(cr, levels.x, levels.y + levels.height);
    for (int x = 0; x < columns; ++x) cairo_line_to(cr, levels.x + x + 0.5, levelY(column[x].inputPeak));
    cairo_line_to(cr, levels.x + columns, levels.y + levels.height);
    cairo_close_path(cr);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.12, 0.37, 0.75);
    cairo_set_line_width(cr, 1.5);
    for (int x = 0; x < columns; ++x) {
        const double y = levelY(column[x].outputPeak);
        if (x == 0) cairo_move_to(cr, levels.x + 0.5, y);
        else cairo_line_to(cr, levels.x + x + 0.5, y);
    }
    cairo_stroke(cr);
}

// Gain reduction hangs from 0 dB.
void drawReduction(cairo_t* cr, const Panel& reduction, const std::vector<LevelBin>& column, double range) {
    const int columns = static_cast<int>(column.size());
    cairo_set_source_rgb(cr, 0.78, 0.22, 0.22);
    cairo_move_to(cr, reduction.x, reduction.y);
    for (int x = 0; x < columns; ++x) {
        const double db = std::min(range, -RenderStats::decibels(column[x].smallestGain));
        cairo_line_to(cr, reduction.x + x + 0.5, reduction.y + std::max(0.0, db) / range * reduction.height);
    }
    cairo_line_to(cr, reduction.x + columns, reduction.y);
    cairo_close_path(cr);
    cairo_fill(cr);
}

void drawLabels(cairo_t* cr, const Panel& levels, const Panel& reduction, const std::string& title) {
    border(cr, levels);
    border(cr, reduction);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    text(cr, kLeft, 22, title, 0.0, 0.5, 16);
    verticalLabel(cr, 26, levels.y + levels.height / 2, "level (dBFS)");
    verticalLabel(cr, 26, reduction.y + reduction.height / 2, "gain reduction (dB)");
    text(cr, reduction.x + reduction.width / 2, LevelPlot::kHeight - 16, "time (s)", 0.5, 0.5, 14);
    // Legend.
    const double lx = levels.x + levels.width - 250, ly = levels.y + 14;
    cairo_set_source_rgb(cr, 0.72, 0.72, 0.72);
    cairo_rectangle(cr, lx, ly - 6, 22, 12);
    cairo_fill(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    text(cr, lx + 28, ly, "input peak", 0.0, 0.5);
    cairo_set_source_rgb(cr, 0.12, 0.37, 0.75);
    cairo_set_line_width(cr, 2);
    cairo_move_to(cr, lx + 120, ly);
    cairo_line_to(cr, lx + 142, ly);
    cairo_stroke(cr);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    text(cr, lx + 148, ly, "output peak", 0.0, 0.5);
}

// Written under a temporary name and renamed: never a half-written picture.
void savePng(cairo_surface_t* surface, const std::string& path) {
    const std::string temporary = path + ".partial";
    const cairo_status_t status = cairo_surface_write_to_png(surface, temporary.c_str());
    if (status != CAIRO_STATUS_SUCCESS || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        throw RenderError("cannot write the plot " + path + ": " + cairo_status_to_string(status));
    }
}

}  // namespace

void LevelPlot::write(const std::string& path, const RenderStats& stats, int sampleRate, const std::string& title) {
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kWidth, kHeight);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 0.95, 0.95, 0.94);
    cairo_paint(cr);
    cairo_select_font_face(cr, "Liberation Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);

    const double plotWidth = kWidth - kLeft - kRight;
    const double available = kHeight - kTop - kGap - kBottom;
    const Panel levels{kLeft, kTop, plotWidth, std::round(available * 0.64)};
    const Panel reduction{kLeft, levels.y + levels.height + kGap, plotWidth, available - levels.height};
    const double seconds = std::max(1e-3, static_cast<double>(stats.frames()) / std::max(sampleRate, 1));
    const std::vector<LevelBin> column = binColumns(stats.bins(), static_cast<int>(plotWidth));
    const double largest = stats.largestReductionDb();
    const double reductionRange = std::min(60.0, std::max(6.0, std::ceil(largest / 6.0) * 6.0));

    frame(cr, levels);
    frame(cr, reduction);
    const double timeStep = niceStep(seconds, 12);
    gridX(cr, levels, seconds, timeStep, false);
    gridX(cr, reduction, seconds, timeStep, true);
    gridY(cr, levels, 0.0, kLevelFloor, 10.0);
    gridY(cr, reduction, 0.0, -reductionRange, niceStep(reductionRange, 6));
    drawLevels(cr, levels, column);
    drawReduction(cr, reduction, column, reductionRange);
    drawLabels(cr, levels, reduction, title);
    cairo_destroy(cr);
    try {
        savePng(surface, path);
    } catch (...) {
        cairo_surface_destroy(surface);
        throw;
    }
    cairo_surface_destroy(surface);
}
