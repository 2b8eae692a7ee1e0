#include "SvgPlot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "HostError.h"

namespace host {

namespace {

// Room around the plotting area of a panel for the title, ticks and labels.
constexpr double kMarginLeft = 52.0;
constexpr double kMarginRight = 12.0;
constexpr double kMarginTop = 26.0;
constexpr double kMarginBottom = 40.0;
constexpr double kFigureTitleHeight = 34.0;

std::string number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    return text;
}

std::string tickText(double value) {
    char text[32];
    if (std::fabs(value) >= 1000.0 && std::fmod(value, 1000.0) == 0.0) {
        std::snprintf(text, sizeof text, "%gk", value / 1000.0);
    } else {
        std::snprintf(text, sizeof text, "%g", value);
    }
    return text;
}

void line(std::string& svg, double x1, double y1, double x2, double y2, const char* style) {
    svg += "<line x1=\"" + number(x1) + "\" y1=\"" + number(y1) + "\" x2=\"" + number(x2) +
           "\" y2=\"" + number(y2) + "\" " + style + "/>\n";
}

void text(std::string& svg, double x, double y, const std::string& content, const char* style) {
    svg += "<text x=\"" + number(x) + "\" y=\"" + number(y) + "\" " + style + ">" +
           escapeXml(content) + "</text>\n";
}

void legendEntry(std::string& svg, double x, double y, const PlotSeries& series) {
    const std::string style = "stroke=\"" + series.colour + "\" stroke-width=\"2\"" +
                              (series.dashed ? " stroke-dasharray=\"5,3\"" : "");
    line(svg, x, y - 4, x + 18, y - 4, style.c_str());
    text(svg, x + 22, y, series.name, "font-size=\"10\"");
}

}  // namespace

std::string escapeXml(const std::string& raw) {
    std::string escaped;
    for (const char c : raw) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

SvgPlot::SvgPlot(std::string title, PlotAxis x, PlotAxis y, LegendPlace legend)
    : title_(std::move(title)), x_(std::move(x)), y_(std::move(y)), legend_(legend) {}

double SvgPlot::toX(double value, double left, double width) const {
    const double fraction = x_.logarithmic ? std::log(value / x_.min) / std::log(x_.max / x_.min)
                                           : (value - x_.min) / (x_.max - x_.min);
    return left + fraction * width;
}

double SvgPlot::toY(double value, double top, double height) const {
    // Far-off values are pulled in only so far that the clip path still hides them.
    const double span = y_.max - y_.min;
    const double bounded = std::clamp(value, y_.min - span, y_.max + span);
    return top + height - (bounded - y_.min) / span * height;
}

void SvgPlot::draw(std::string& svg, int id, double left, double top, double width,
                   double height) const {
    const double plotLeft = left + kMarginLeft;
    const double plotTop = top + kMarginTop;
    const double plotWidth = width - kMarginLeft - kMarginRight;
    const double plotHeight = height - kMarginTop - kMarginBottom;

    text(svg, plotLeft + plotWidth / 2, top + 17, title_,
         "text-anchor=\"middle\" font-size=\"13\" font-weight=\"bold\"");
    svg += "<rect x=\"" + number(plotLeft) + "\" y=\"" + number(plotTop) + "\" width=\"" +
           number(plotWidth) + "\" height=\"" + number(plotHeight) +
           "\" fill=\"white\" stroke=\"#444\"/>\n";
    for (const double tick : x_.ticks) {
        const double x = toX(tick, plotLeft, plotWidth);
        line(svg, x, plotTop, x, plotTop + plotHeight, "stroke=\"#ddd\"");
        text(svg, x, plotTop + plotHeight + 14, tickText(tick),
             "text-anchor=\"middle\" font-size=\"10\"");
    }
    for (const double tick : y_.ticks) {
        const double y = toY(tick, plotTop, plotHeight);
        line(svg, plotLeft, y, plotLeft + plotWidth, y, "stroke=\"#ddd\"");
        text(svg, plotLeft - 5, y + 3, tickText(tick), "text-anchor=\"end\" font-size=\"10\"");
    }
    text(svg, plotLeft + plotWidth / 2, plotTop + plotHeight + 30, x_.label,
         "text-anchor=\"middle\" font-size=\"11\"");
    const double labelY = plotTop + plotHeight / 2;
    svg += "<text x=\"" + number(left + 13) + "\" y=\"" + number(labelY) +
           "\" text-anchor=\"middle\" font-size=\"11\" transform=\"rotate(-90 " +
           number(left + 13) + " " + number(labelY) + ")\">" + escapeXml(y_.label) + "</text>\n";

    // Series are clipped to the plotting area.
    const std::string clipId = "clip" + std::to_string(id);
    svg += "<clipPath id=\"" + clipId + "\"><rect x=\"" + number(plotLeft) + "\" y=\"" +
           number(plotTop) + "\" width=\"" + number(plotWidth) + "\" height=\"" +
           number(plotHeight) + "\"/></clipPath>\n";
    for (const PlotSeries& series : series_) {
        std::string points;
        for (const auto& [x, y] : series.points) {
            if (!std::isfinite(y)) continue;
            points += number(toX(x, plotLeft, plotWidth)) + "," +
                      number(toY(y, plotTop, plotHeight)) + " ";
        }
        svg += "<polyline clip-path=\"url(#" + clipId + ")\" fill=\"none\" stroke=\"" +
               series.colour + "\" stroke-width=\"1.6\"" +
               (series.dashed ? " stroke-dasharray=\"5,3\"" : "") + " points=\"" + points +
               "\"/>\n";
    }
    if (legend_ == LegendPlace::None) return;
    double y = plotTop + 14;
    const double x = legend_ == LegendPlace::TopLeft ? plotLeft + 8 : plotLeft + plotWidth - 110;
    for (const PlotSeries& series : series_) {
        // A series without a name continues the one before it.
        if (series.name.empty()) continue;
        legendEntry(svg, x, y, series);
        y += 13;
    }
}

SvgFigure::SvgFigure(std::string title, int columns, double panelWidth, double panelHeight)
    : title_(std::move(title)),
      columns_(std::max(1, columns)),
      panelWidth_(panelWidth),
      panelHeight_(panelHeight) {}

std::string SvgFigure::svg() const {
    const int count = static_cast<int>(panels_.size());
    const int columns = std::min(columns_, std::max(1, count));
    const int rows = (count + columns - 1) / columns;
    const double width = columns * panelWidth_;
    const double legendHeight = legend_.empty() ? 0.0 : 18.0;
    const double height = kFigureTitleHeight + legendHeight + rows * panelHeight_;
    std::string svg =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
        number(width) + "\" height=\"" + number(height) + "\" viewBox=\"0 0 " + number(width) +
        " " + number(height) + "\" font-family=\"sans-serif\">\n";
    svg += "<rect width=\"100%\" height=\"100%\" fill=\"#fafafa\"/>\n";
    text(svg, width / 2, 23, title_,
         "text-anchor=\"middle\" font-size=\"16\" font-weight=\"bold\"");
    double x = width / 2 - legendEntryWidth_ * static_cast<double>(legend_.size()) / 2;
    for (const PlotSeries& entry : legend_) {
        legendEntry(svg, x, kFigureTitleHeight + 8, entry);
        x += legendEntryWidth_;
    }
    for (int i = 0; i < count; ++i) {
        panels_[static_cast<std::size_t>(i)].draw(
            svg, i, (i % columns) * panelWidth_,
            kFigureTitleHeight + legendHeight + (i / columns) * panelHeight_, panelWidth_,
            panelHeight_);
    }
    return svg + "</svg>\n";
}

void SvgFigure::write(OutputFile& output) const {
    std::ofstream out(output.temporaryPath());
    out << svg();
    out.close();
    if (!out) throw HostError("error writing '" + output.targetPath() + "'");
}

}  // namespace host
