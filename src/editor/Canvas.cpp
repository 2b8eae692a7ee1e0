#include "editor/Canvas.h"

#include <algorithm>
#include <cmath>

namespace editor {

namespace {

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

// Distances here are a few thousand pixels at most: no need for hypot's care.
double length(double x, double y) {
    return std::sqrt(x * x + y * y);
}

unsigned coverageOf(double c) {
    return static_cast<unsigned>(c * 255.0 + 0.5);
}

double roundedRectDistance(double px, double py, double cx, double cy, double hx, double hy,
                           double radius) {
    const double qx = std::fabs(px - cx) - (hx - radius);
    const double qy = std::fabs(py - cy) - (hy - radius);
    const double outside = length(std::max(qx, 0.0), std::max(qy, 0.0));
    return outside + std::min(std::max(qx, qy), 0.0) - radius;
}

double segmentDistance(double px, double py, double x0, double y0, double x1, double y1) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double length2 = dx * dx + dy * dy;
    const double t = length2 > 0.0 ? clamp01(((px - x0) * dx + (py - y0) * dy) / length2) : 0.0;
    return length(px - (x0 + t * dx), py - (y0 + t * dy));
}

}  // namespace

Canvas::Canvas(std::uint32_t* pixels, int width, int height)
    : pixels_(pixels), width_(width), height_(height), clip_{0, 0, width, height} {}

void Canvas::setClip(const Rect& clip) {
    const int x0 = std::clamp(clip.x, 0, width_);
    const int y0 = std::clamp(clip.y, 0, height_);
    const int x1 = std::clamp(clip.x + clip.width, x0, width_);
    const int y1 = std::clamp(clip.y + clip.height, y0, height_);
    clip_ = {x0, y0, x1 - x0, y1 - y0};
}

template <class Coverage>
void Canvas::shade(double x0, double y0, double x1, double y1, Colour colour, Coverage coverage) {
    const int left = std::max(clip_.x, static_cast<int>(std::floor(x0)));
    const int top = std::max(clip_.y, static_cast<int>(std::floor(y0)));
    const int right = std::min(clip_.x + clip_.width, static_cast<int>(std::ceil(x1)));
    const int bottom = std::min(clip_.y + clip_.height, static_cast<int>(std::ceil(y1)));
    for (int y = top; y < bottom; ++y) {
        for (int x = left; x < right; ++x) {
            const double c = coverage(x + 0.5, y + 0.5);
            if (c > 0.0) blend(x, y, colour, coverageOf(c));
        }
    }
}

void Canvas::fill(const Rect& area, Colour colour) {
    const int x0 = std::max(clip_.x, area.x);
    const int y0 = std::max(clip_.y, area.y);
    const int x1 = std::min(clip_.x + clip_.width, area.x + area.width);
    const int y1 = std::min(clip_.y + clip_.height, area.y + area.height);
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) blend(x, y, colour, 255u);
    }
}

void Canvas::fillRoundedRect(double x, double y, double w, double h, double radius, Colour colour) {
    const double hx = w / 2;
    const double hy = h / 2;
    const double r = std::min({radius, hx, hy});
    shade(x - 1, y - 1, x + w + 1, y + h + 1, colour, [&](double px, double py) {
        return clamp01(0.5 - roundedRectDistance(px, py, x + hx, y + hy, hx, hy, r));
    });
}

void Canvas::strokeRoundedRect(double x, double y, double w, double h, double radius,
                               double lineWidth, Colour colour) {
    const double half = lineWidth / 2;
    const double hx = w / 2 - half;
    const double hy = h / 2 - half;
    const double r = std::max(0.0, std::min({radius - half, hx, hy}));
    shade(x - 1, y - 1, x + w + 1, y + h + 1, colour, [&](double px, double py) {
        const double d = roundedRectDistance(px, py, x + w / 2, y + h / 2, hx, hy, r);
        return clamp01(half + 0.5 - std::fabs(d));
    });
}

void Canvas::line(double x0, double y0, double x1, double y1, double lineWidth, Colour colour) {
    const double reach = lineWidth / 2 + 1;
    shade(std::min(x0, x1) - reach, std::min(y0, y1) - reach, std::max(x0, x1) + reach,
          std::max(y0, y1) + reach, colour, [&](double px, double py) {
              return clamp01(lineWidth / 2 + 0.5 - segmentDistance(px, py, x0, y0, x1, y1));
          });
}

void Canvas::polyline(const double* xs, const double* ys, int n, double lineWidth, Colour colour) {
    const double reach = lineWidth / 2 + 1;
    // Each pixel column belongs to the segment whose span holds it; its
    // distance is the nearest of that segment and its neighbours, which is
    // all a line this thin can reach.
    for (int i = 0; i + 1 < n; ++i) {
        const double from = i == 0 ? xs[0] - reach : xs[i];
        const double to = i + 2 == n ? xs[n - 1] + reach : xs[i + 1];
        const int first = std::max(0, i - 2);
        const int last = std::min(n - 2, i + 2);
        double top = ys[i];
        double bottom = ys[i];
        for (int k = first; k <= last + 1; ++k) {
            top = std::min(top, ys[k]);
            bottom = std::max(bottom, ys[k]);
        }
        shade(from, top - reach, to, bottom + reach, colour, [&](double px, double py) {
            if (px < from || px >= to) return 0.0;
            double distance = 1e9;
            for (int k = first; k <= last; ++k) {
                distance =
                    std::min(distance, segmentDistance(px, py, xs[k], ys[k], xs[k + 1], ys[k + 1]));
            }
            return clamp01(lineWidth / 2 + 0.5 - distance);
        });
    }
}

void Canvas::fillUnder(const double* xs, const double* ys, int n, double base, Colour colour) {
    if (n < 2) return;
    int segment = 0;
    const int left = std::max(clip_.x, static_cast<int>(std::ceil(xs[0] - 0.5)));
    const int right =
        std::min(clip_.x + clip_.width, static_cast<int>(std::floor(xs[n - 1] - 0.5)) + 1);
    for (int x = left; x < right; ++x) {
        const double px = x + 0.5;
        while (segment + 2 < n && xs[segment + 1] < px) ++segment;
        const double span = xs[segment + 1] - xs[segment];
        const double t = span > 0.0 ? clamp01((px - xs[segment]) / span) : 0.0;
        const double curve = ys[segment] + t * (ys[segment + 1] - ys[segment]);
        const double top = std::min(curve, base);
        const int y0 = std::max(clip_.y, static_cast<int>(std::floor(top)));
        const int y1 = std::min(clip_.y + clip_.height, static_cast<int>(std::ceil(base)));
        for (int y = y0; y < y1; ++y) {
            const double c =
                clamp01(std::min(y + 1.0, base) - std::max(static_cast<double>(y), top));
            if (c > 0.0) blend(x, y, colour, coverageOf(c));
        }
    }
}

void Canvas::fillCircle(double cx, double cy, double radius, Colour colour) {
    shade(cx - radius - 1, cy - radius - 1, cx + radius + 1, cy + radius + 1, colour,
          [&](double px, double py) { return clamp01(radius + 0.5 - length(px - cx, py - cy)); });
}

}  // namespace editor
