#pragma once
// The main window's banner and logo as the program draws them at the sizes its layout gives: a
// list of shapes with their fills and pens, described once and drawn either by a toolkit's own
// anti-aliased painter (qt/artwork.h) or by Render below into a canvas's pixels, for a shell
// that presents pixels (the Win32 shell).

#include <vector>

#include "draw/image.h"

namespace velquin::ui::artwork {

struct Point {
    double x = 0, y = 0;
};

// A colour with straight (not premultiplied) alpha.
struct Rgba {
    int r = 0, g = 0, b = 0, a = 255;
};

struct Stop {
    double at;  // 0 to 1 along the gradient
    Rgba colour;
};

struct Paint {
    enum class Kind { None, Solid, Linear, Radial };
    Kind kind = Kind::None;
    Rgba colour;               // Solid
    Point from, to;            // Linear: the axis from stop 0 to stop 1; Radial: the centre
    double radius = 0;         // Radial
    std::vector<Stop> stops;   // Linear and Radial; beyond the ends the end colours go on

    static Paint Solid(Rgba c) { return {Kind::Solid, c, {}, {}, 0, {}}; }
    static Paint Linear(Point from, Point to, std::vector<Stop> stops) {
        return {Kind::Linear, {}, from, to, 0, std::move(stops)};
    }
    static Paint Radial(Point centre, double radius, std::vector<Stop> stops) {
        return {Kind::Radial, {}, centre, {}, radius, std::move(stops)};
    }
};

struct Pen {
    double width = 0;  // 0: no outline
    Rgba colour;
    bool round = false;  // round caps and joins; otherwise square caps and bevelled joins
};

struct PathElement {
    enum class Op { Move, Line, Cubic };
    Op op;
    Point p[3];  // Move and Line: p[0]; Cubic: two control points and the end point
};

struct Shape {
    enum class Kind { Rect, Ellipse, Line, Path };
    Kind kind = Kind::Rect;
    Point a, b;  // Rect: top-left and bottom-right; Ellipse: centre and radii; Line: the ends
    std::vector<PathElement> path;
};

// One shape filled, then outlined.
struct Layer {
    Shape shape;
    Paint fill;
    Pen pen;
};

using Picture = std::vector<Layer>;

// An opaque banner w x h: a dark-to-light blue sky with soft arcs and a glossy upper half.
Picture Banner(double w, double h);
// The shield with its check mark, filling w x h from (0, 0) on a transparent ground.
Picture Logo(double w, double h);

// Draws `picture` anti-aliased over `target` with its origin at (x, y); what is drawn is blended
// over what is there (the fourth byte is left 0xFF).
void Render(const Picture& picture, draw::Image& target, int x = 0, int y = 0);

}  // namespace velquin::ui::artwork
