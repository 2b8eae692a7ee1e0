// Line charts as SVG, with no plotting dependency: SvgPlot draws one panel
// (axes, grid, labelled ticks, series, legend), SvgFigure lays panels out in a
// grid under a title and writes the file.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "OutputFile.h"

namespace host {

struct PlotAxis {
    std::string label;
    double min;
    double max;
    bool logarithmic = false;
    std::vector<double> ticks;  // labelled grid lines
};

struct PlotSeries {
    std::string name;
    std::string colour;  // any SVG colour
    std::vector<std::pair<double, double>> points;
    bool dashed = false;
};

enum class LegendPlace { None, TopLeft, TopRight };

class SvgPlot final {
  public:
    SvgPlot(std::string title, PlotAxis x, PlotAxis y, LegendPlace legend = LegendPlace::TopLeft);
    void add(PlotSeries series) { series_.push_back(std::move(series)); }
    // Appends the panel's SVG elements, drawn in the given box; id makes the
    // panel's element ids unique within the figure.
    void draw(std::string& svg, int id, double left, double top, double width, double height) const;

  private:
    double toX(double value, double left, double width) const;
    double toY(double value, double top, double height) const;

    std::string title_;
    PlotAxis x_;
    PlotAxis y_;
    LegendPlace legend_;
    std::vector<PlotSeries> series_;
};

class SvgFigure final {
  public:
    SvgFigure(std::string title, int columns, double panelWidth, double panelHeight);
    void add(SvgPlot panel) { panels_.push_back(std::move(panel)); }
    // One legend for all panels, in a row under the title (only names,
    // colours and dashes of the series are used), each entry this wide.
    void setLegend(std::vector<PlotSeries> entries, double entryWidth = 90.0) {
        legend_ = std::move(entries);
        legendEntryWidth_ = entryWidth;
    }
    std::string svg() const;
    // Fills the output's temporary file; the caller commits. Throws HostError.
    void write(OutputFile& output) const;

  private:
    std::string title_;
    int columns_;
    double panelWidth_;
    double panelHeight_;
    std::vector<SvgPlot> panels_;
    std::vector<PlotSeries> legend_;
    double legendEntryWidth_ = 90.0;
};

// &, <, > and quotes as XML entities.
std::string escapeXml(const std::string& text);

}  // namespace host
