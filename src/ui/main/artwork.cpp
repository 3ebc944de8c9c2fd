#include "ui/main/artwork.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace velquin::ui::artwork {

Picture Banner(double w, double h) {
    Picture picture;
    const Paint sky = Paint::Linear({0, 0}, {w, 0}, {{0.0, {8, 28, 64}}, {0.55, {18, 64, 128}}, {1.0, {36, 112, 182}}});
    picture.push_back({{Shape::Kind::Rect, {0, 0}, {w, h}, {}}, sky, {}});

    // Soft arcs towards the right end give the banner some depth without competing with the text.
    for (int i = 0; i < 4; ++i) {
        const double radius = h * (1.4 + i * 0.55);
        const Paint tint = Paint::Solid({255, 255, 255, 16 - i * 3});
        picture.push_back({{Shape::Kind::Ellipse, {w * 0.92, h * 1.1}, {radius * 1.6, radius}, {}}, tint, {}});
    }
    const Paint gloss = Paint::Linear(
        {0, 0}, {0, h}, {{0.0, {255, 255, 255, 46}}, {0.5, {255, 255, 255, 8}}, {0.51, {0, 0, 0, 0}}});
    picture.push_back({{Shape::Kind::Rect, {0, 0}, {w, h}, {}}, gloss, {}});

    picture.push_back({{Shape::Kind::Line, {0, h - 1.5}, {w, h - 1.5}, {}}, {}, {1, {110, 190, 255}}});
    return picture;
}

Picture Logo(double w, double h) {
    using Op = PathElement::Op;
    // A shield: flat top with rounded shoulders, sides curving to a point at the bottom.
    Shape shield{Shape::Kind::Path, {}, {}, {
        {Op::Move, {{w * 0.5, h * 0.05}}},
        {Op::Cubic, {{w * 0.68, h * 0.13}, {w * 0.82, h * 0.14}, {w * 0.92, h * 0.13}}},
        {Op::Cubic, {{w * 0.93, h * 0.52}, {w * 0.80, h * 0.78}, {w * 0.5, h * 0.95}}},
        {Op::Cubic, {{w * 0.20, h * 0.78}, {w * 0.07, h * 0.52}, {w * 0.08, h * 0.13}}},
        {Op::Cubic, {{w * 0.18, h * 0.14}, {w * 0.32, h * 0.13}, {w * 0.5, h * 0.05}}},
    }};
    const Paint body = Paint::Linear({0, 0}, {w, h}, {{0.0, {60, 200, 110}}, {1.0, {10, 110, 60}}});
    const Paint shine = Paint::Radial({w * 0.38, h * 0.3}, w * 0.45,
                                      {{0.0, {255, 255, 255, 90}}, {1.0, {255, 255, 255, 0}}});
    // A check mark: the cleaner's promise.
    Shape check{Shape::Kind::Path, {}, {}, {
        {Op::Move, {{w * 0.28, h * 0.50}}},
        {Op::Line, {{w * 0.44, h * 0.65}}},
        {Op::Line, {{w * 0.74, h * 0.33}}},
    }};
    return {
        {shield, body, {w * 0.045, {235, 245, 255}}},
        {shield, shine, {}},
        {check, {}, {w * 0.1, {255, 255, 255}, true}},
    };
}

namespace {

using Polygon = std::vector<Point>;

double SignedArea(const Polygon& p) {
    double area = 0;
    for (std::size_t i = 0, n = p.size(); i < n; ++i) {
        const Point& a = p[i];
        const Point& b = p[(i + 1) % n];
        area += a.x * b.y - b.x * a.y;
    }
    return area / 2;
}

// One orientation for every part of an outline, so that their union fills with the non-zero rule.
void Orient(Polygon& p) {
    if (SignedArea(p) < 0) std::reverse(p.begin(), p.end());
}

Polygon Circle(Point c, double rx, double ry) {
    const int steps = std::clamp(static_cast<int>(std::max(rx, ry) * 2), 16, 720);
    Polygon p;
    for (int i = 0; i < steps; ++i) {
        const double t = 2 * std::numbers::pi * i / steps;
        p.push_back({c.x + rx * std::cos(t), c.y + ry * std::sin(t)});
    }
    return p;
}

// The path as polylines (subpaths), its curves cut into short straight pieces.
std::vector<Polygon> Flatten(const Shape& shape, bool* closed) {
    *closed = true;
    switch (shape.kind) {
        case Shape::Kind::Rect:
            return {{shape.a, {shape.b.x, shape.a.y}, shape.b, {shape.a.x, shape.b.y}}};
        case Shape::Kind::Ellipse: return {Circle(shape.a, shape.b.x, shape.b.y)};
        case Shape::Kind::Line: *closed = false; return {{shape.a, shape.b}};
        case Shape::Kind::Path: break;
    }
    std::vector<Polygon> lines;
    for (const PathElement& e : shape.path) {
        if (e.op == PathElement::Op::Move || lines.empty()) lines.emplace_back();
        Polygon& line = lines.back();
        if (e.op != PathElement::Op::Cubic) {
            line.push_back(e.p[0]);
            continue;
        }
        const Point p0 = line.empty() ? e.p[0] : line.back();
        constexpr int kSteps = 32;
        for (int i = 1; i <= kSteps; ++i) {
            const double t = static_cast<double>(i) / kSteps, u = 1 - t;
            const double a = u * u * u, b = 3 * u * u * t, c = 3 * u * t * t, d = t * t * t;
            line.push_back({a * p0.x + b * e.p[0].x + c * e.p[1].x + d * e.p[2].x,
                            a * p0.y + b * e.p[0].y + c * e.p[1].y + d * e.p[2].y});
        }
    }
    // A subpath is closed when it ends where it began.
    for (Polygon& line : lines) {
        const bool ends_at_start = line.size() > 2 && std::hypot(line.back().x - line.front().x,
                                                                 line.back().y - line.front().y) < 1e-9;
        if (ends_at_start) line.pop_back();
        else *closed = false;
    }
    return lines;
}

// The outline of a pen along a polyline, as polygons whose union is the stroke.
std::vector<Polygon> StrokeOutline(const Polygon& line, bool closed, const Pen& pen) {
    std::vector<Polygon> parts;
    const double half = pen.width / 2;
    const std::size_t n = line.size();
    const std::size_t segments = closed ? n : n - 1;
    auto normal = [&](std::size_t i) {
        const Point& a = line[i];
        const Point& b = line[(i + 1) % n];
        const double len = std::hypot(b.x - a.x, b.y - a.y);
        return len == 0 ? Point{0, 0} : Point{-(b.y - a.y) / len * half, (b.x - a.x) / len * half};
    };
    for (std::size_t i = 0; i < segments; ++i) {
        Point a = line[i], b = line[(i + 1) % n];
        const Point nv = normal(i);
        if (!closed && !pen.round) {  // square caps reach half the pen beyond the open ends
            const Point along{nv.y, -nv.x};
            if (i == 0) a = {a.x - along.x, a.y - along.y};
            if (i + 1 == segments) b = {b.x + along.x, b.y + along.y};
        }
        parts.push_back({{a.x + nv.x, a.y + nv.y}, {b.x + nv.x, b.y + nv.y}, {b.x - nv.x, b.y - nv.y},
                         {a.x - nv.x, a.y - nv.y}});
    }
    for (std::size_t i = 0; i < n; ++i) {
        const bool joint = closed || (i > 0 && i + 1 < n);
        if (pen.round) {
            if (joint || !closed) parts.push_back(Circle(line[i], half, half));
        } else if (joint) {  // bevel: the gap between the two pieces on the outer side
            const Point p = line[i];
            const Point n1 = normal((i + n - 1) % n), n2 = normal(i);
            parts.push_back({p, {p.x + n1.x, p.y + n1.y}, {p.x + n2.x, p.y + n2.y}});
            parts.push_back({p, {p.x - n1.x, p.y - n1.y}, {p.x - n2.x, p.y - n2.y}});
        }
    }
    return parts;
}

// Coverage of each pixel by the polygons (non-zero rule): 16 sample rows per pixel, each row's
// spans counted exactly across the pixels they cross.
class CoverageMask {
public:
    CoverageMask(int width, int height) : width_(width), height_(height), cover_(std::size_t(width) * height) {}

    void Fill(const std::vector<Polygon>& polygons) {
        constexpr int kRows = 16;
        std::vector<std::pair<double, int>> crossings;
        for (int y = 0; y < height_; ++y) {
            for (int s = 0; s < kRows; ++s) {
                const double sy = y + (s + 0.5) / kRows;
                crossings.clear();
                for (const Polygon& p : polygons) {
                    for (std::size_t i = 0, n = p.size(); i < n; ++i) {
                        const Point& a = p[i];
                        const Point& b = p[(i + 1) % n];
                        if ((a.y <= sy) == (b.y <= sy)) continue;
                        const double x = a.x + (sy - a.y) * (b.x - a.x) / (b.y - a.y);
                        crossings.push_back({x, b.y > a.y ? 1 : -1});
                    }
                }
                std::sort(crossings.begin(), crossings.end());
                int winding = 0;
                for (std::size_t i = 0; i + 1 < crossings.size(); ++i) {
                    winding += crossings[i].second;
                    if (winding != 0) AddSpan(y, crossings[i].first, crossings[i + 1].first, 1.0 / kRows);
                }
            }
        }
    }

    double At(int x, int y) const { return std::min(1.0, cover_[std::size_t(y) * width_ + x]); }

private:
    void AddSpan(int y, double x0, double x1, double weight) {
        x0 = std::clamp(x0, 0.0, double(width_));
        x1 = std::clamp(x1, 0.0, double(width_));
        if (x1 <= x0) return;
        double* row = &cover_[std::size_t(y) * width_];
        const int first = static_cast<int>(x0), last = std::min(width_ - 1, static_cast<int>(x1));
        if (first == last) {
            row[first] += (x1 - x0) * weight;
            return;
        }
        row[first] += (first + 1 - x0) * weight;
        for (int x = first + 1; x < last; ++x) row[x] += weight;
        if (last < width_) row[last] += (x1 - last) * weight;
    }

    int width_, height_;
    std::vector<double> cover_;
};

struct Premultiplied {
    double r = 0, g = 0, b = 0, a = 0;  // 0 to 1
};

Premultiplied Premultiply(const Rgba& c) {
    const double a = c.a / 255.0;
    return {c.r / 255.0 * a, c.g / 255.0 * a, c.b / 255.0 * a, a};
}

// The colour along a gradient, interpolated between premultiplied stops.
Premultiplied Along(const std::vector<Stop>& stops, double t) {
    if (stops.empty()) return {};
    if (t <= stops.front().at) return Premultiply(stops.front().colour);
    for (std::size_t i = 1; i < stops.size(); ++i) {
        if (t > stops[i].at) continue;
        const Premultiplied a = Premultiply(stops[i - 1].colour), b = Premultiply(stops[i].colour);
        const double span = stops[i].at - stops[i - 1].at;
        const double f = span <= 0 ? 1 : (t - stops[i - 1].at) / span;
        return {a.r + (b.r - a.r) * f, a.g + (b.g - a.g) * f, a.b + (b.b - a.b) * f, a.a + (b.a - a.a) * f};
    }
    return Premultiply(stops.back().colour);
}

Premultiplied PaintAt(const Paint& paint, Point p) {
    switch (paint.kind) {
        case Paint::Kind::None: return {};
        case Paint::Kind::Solid: return Premultiply(paint.colour);
        case Paint::Kind::Linear: {
            const double dx = paint.to.x - paint.from.x, dy = paint.to.y - paint.from.y;
            const double length2 = dx * dx + dy * dy;
            const double t = length2 == 0 ? 0 : ((p.x - paint.from.x) * dx + (p.y - paint.from.y) * dy) / length2;
            return Along(paint.stops, t);
        }
        case Paint::Kind::Radial: {
            const double d = std::hypot(p.x - paint.from.x, p.y - paint.from.y);
            return Along(paint.stops, paint.radius <= 0 ? 1 : d / paint.radius);
        }
    }
    return {};
}

int Channel(double v) { return static_cast<int>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); }

void Composite(draw::Image& target, int ox, int oy, const CoverageMask& mask, int width, int height,
               const Paint& paint) {
    for (int y = 0; y < height; ++y) {
        const int ty = oy + y;
        if (ty < 0 || ty >= target.Height()) continue;
        std::uint32_t* row = target.Row(ty);
        for (int x = 0; x < width; ++x) {
            const int tx = ox + x;
            const double cover = mask.At(x, y);
            if (cover <= 0 || tx < 0 || tx >= target.Width()) continue;
            const Premultiplied src = PaintAt(paint, {x + 0.5, y + 0.5});
            const double alpha = src.a * cover;
            if (alpha <= 0) continue;
            const std::uint32_t dst = row[tx];
            const double keep = 1 - alpha;
            const double r = src.r * cover + ((dst >> 16) & 0xFF) / 255.0 * keep;
            const double g = src.g * cover + ((dst >> 8) & 0xFF) / 255.0 * keep;
            const double b = src.b * cover + (dst & 0xFF) / 255.0 * keep;
            row[tx] = 0xFF000000u | (std::uint32_t(Channel(r)) << 16) | (std::uint32_t(Channel(g)) << 8) |
                      std::uint32_t(Channel(b));
        }
    }
}

}  // namespace

void Render(const Picture& picture, draw::Image& target, int x, int y) {
    // The picture's extent: everything it draws lies within the target from (x, y) on.
    const int width = target.Width() - x, height = target.Height() - y;
    if (width <= 0 || height <= 0) return;
    for (const Layer& layer : picture) {
        bool closed = true;
        std::vector<Polygon> lines = Flatten(layer.shape, &closed);
        if (layer.fill.kind != Paint::Kind::None) {
            CoverageMask mask(width, height);
            mask.Fill(lines);
            Composite(target, x, y, mask, width, height, layer.fill);
        }
        if (layer.pen.width > 0) {
            std::vector<Polygon> outline;
            for (const Polygon& line : lines) {
                if (line.size() < 2) continue;
                for (Polygon& part : StrokeOutline(line, closed, layer.pen)) {
                    Orient(part);
                    outline.push_back(std::move(part));
                }
            }
            CoverageMask mask(width, height);
            mask.Fill(outline);
            Composite(target, x, y, mask, width, height, Paint::Solid(layer.pen.colour));
        }
    }
}

}  // namespace velquin::ui::artwork
