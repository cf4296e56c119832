// Our own lettering: a wide geometric sans of round-ended pen strokes. The
// same strokes make the big title, the group name and the scroller's font.
#include <algorithm>
#include <initializer_list>
#include <utility>

#include "art.hpp"
#include "detmath.hpp"

namespace korvale::gen {

namespace {

class Builder {
public:
    explicit Builder(double width) { glyph_.width = width; }
    Builder& line(std::initializer_list<std::pair<double, double>> points) {
        const std::pair<double, double>* previous = nullptr;
        for (const auto& p : points) {
            if (previous) glyph_.strokes.push_back({previous->first, previous->second, p.first, p.second});
            previous = &p;
        }
        return *this;
    }
    Builder& dot(double x, double y) {
        glyph_.strokes.push_back({x, y, x, y});
        return *this;
    }
    // Elliptic arc from angle a0 to a1 in degrees; 0 points right, 90 down.
    Builder& arc(double cx, double cy, double rx, double ry, double a0, double a1) {
        const int steps = 2 + static_cast<int>((a1 > a0 ? a1 - a0 : a0 - a1) / 7.5);
        double px = 0.0, py = 0.0;
        for (int i = 0; i <= steps; ++i) {
            const double a = (a0 + (a1 - a0) * i / steps) * pi / 180.0;
            const double x = cx + rx * detCos(a);
            const double y = cy + ry * detSin(a);
            if (i > 0) glyph_.strokes.push_back({px, py, x, y});
            px = x;
            py = y;
        }
        return *this;
    }
    StrokeGlyph done() { return std::move(glyph_); }

private:
    StrokeGlyph glyph_;
};

std::array<StrokeGlyph, 59> buildGlyphs() {
    std::array<StrokeGlyph, 59> g;
    const auto set = [&g](char c, Builder b) { g[static_cast<std::size_t>(c - 32)] = b.done(); };

    set(' ', Builder(4));
    set('!', Builder(0).line({{0, 0}, {0, 6.6}}).dot(0, 9.6));
    set('"', Builder(2.6).line({{0, 0}, {0, 3}}).line({{2.6, 0}, {2.6, 3}}));
    set('#', Builder(7).line({{2.6, 0.3}, {1.8, 9.7}}).line({{5.4, 0.3}, {4.6, 9.7}}).line({{0, 3.3}, {7, 3.3}}).line({{0, 6.7}, {7, 6.7}}));
    set('$', Builder(6.6)
                 .arc(3.3, 2.9, 3.1, 2.2, 340, 90)
                 .arc(3.3, 7.1, 3.3, 2.0, 270, 520)
                 .line({{3.3, -0.9}, {3.3, 10.9}}));
    set('%', Builder(7.4).arc(1.6, 2, 1.6, 2, 0, 360).arc(5.8, 8, 1.6, 2, 0, 360).line({{6.6, 0}, {0.8, 10}}));
    set('&', Builder(7.8)
                 .arc(3.2, 2.4, 2.0, 2.4, 135, 405)
                 .line({{4.6, 4.1}, {1.3, 6.4}})
                 .arc(3.3, 7.6, 3.1, 2.4, 190, -20)
                 .line({{6.2, 6.8}, {7.8, 5.6}})
                 .line({{1.9, 4.1}, {7.6, 10}}));
    set('\'', Builder(0).line({{0, 0}, {0, 3}}));
    set('(', Builder(3).arc(4.6, 5, 4.6, 6.2, 126, 234));
    set(')', Builder(3).arc(-1.6, 5, 4.6, 6.2, -54, 54));
    set('*', Builder(6).line({{3, 0}, {3, 6}}).line({{0.4, 1.5}, {5.6, 4.5}}).line({{0.4, 4.5}, {5.6, 1.5}}));
    set('+', Builder(6).line({{3, 2.2}, {3, 7.8}}).line({{0, 5}, {6, 5}}));
    set(',', Builder(1.2).line({{1.2, 8.8}, {0, 11.6}}));
    set('-', Builder(4.6).line({{0, 5.6}, {4.6, 5.6}}));
    set('.', Builder(0).dot(0, 9.6));
    set('/', Builder(5).line({{5, 0}, {0, 10}}));
    set('0', Builder(7).arc(3.5, 5, 3.5, 5, 0, 360).line({{5.4, 2.4}, {1.6, 7.6}}));
    set('1', Builder(5).line({{0.6, 2.0}, {3.2, 0}, {3.2, 10}}));
    set('2', Builder(7)
                 .arc(3.4, 3.1, 3.3, 3.1, 195, 395)
                 .line({{5.9, 5.1}, {0, 10}, {7, 10}}));
    set('3', Builder(7)
                 .line({{0.4, 0}, {6.2, 0}, {3.2, 3.9}})
                 .arc(3.3, 6.9, 3.5, 3.1, 260, 515));
    set('4', Builder(7.4).line({{5.4, 10}, {5.4, 0}, {0, 7}, {7.4, 7}}));
    set('5', Builder(7)
                 .line({{6.4, 0}, {0.8, 0}, {0.5, 4.4}})
                 .arc(3.3, 6.8, 3.6, 3.2, 223, 520));
    set('6', Builder(7).arc(4.0, 5.5, 3.9, 5.5, 295, 180).arc(3.6, 6.9, 3.5, 3.1, 0, 360));
    set('7', Builder(7).line({{0, 0}, {7, 0}, {2.6, 10}}));
    set('8', Builder(7).arc(3.5, 2.6, 3.0, 2.6, 0, 360).arc(3.5, 7.5, 3.5, 2.5, 0, 360));
    set('9', Builder(7).arc(3.4, 3.1, 3.5, 3.1, 0, 360).arc(3.0, 4.5, 3.9, 5.5, 0, 115));
    set(':', Builder(0).dot(0, 3.6).dot(0, 9.6));
    set(';', Builder(1).dot(1, 3.6).line({{1, 9.2}, {0, 11.4}}));
    set('<', Builder(6).line({{6, 1.6}, {0, 5}, {6, 8.4}}));
    set('=', Builder(6).line({{0, 3.4}, {6, 3.4}}).line({{0, 6.6}, {6, 6.6}}));
    set('>', Builder(6).line({{0, 1.6}, {6, 5}, {0, 8.4}}));
    set('?', Builder(6).arc(3, 3, 3, 3, 180, 420).line({{4.5, 5.6}, {3, 6.4}, {3, 7.0}}).dot(3, 9.6));
    set('@', Builder(10)
                 .arc(5, 5, 5, 5, 20, 330)
                 .arc(4.7, 5.2, 1.9, 2.1, 0, 360)
                 .line({{6.6, 3.0}, {6.6, 6.4}})
                 .arc(8.2, 6.4, 1.6, 1.4, 180, 0)
                 .line({{9.8, 6.4}, {9.8, 5.0}}));
    set('A', Builder(8.4).line({{0, 10}, {4.2, 0}, {8.4, 10}}).line({{1.7, 6.6}, {6.7, 6.6}}));
    set('B', Builder(7)
                 .line({{4.2, 0}, {0, 0}, {0, 10}, {4.4, 10}})
                 .line({{0, 4.8}, {4.2, 4.8}})
                 .arc(4.2, 2.4, 2.4, 2.4, -90, 90)
                 .arc(4.4, 7.4, 2.6, 2.6, -90, 90));
    set('C', Builder(8).arc(5, 5, 5, 5, 42, 318));
    set('D', Builder(7.6).line({{2.6, 0}, {0, 0}, {0, 10}, {2.6, 10}}).arc(2.6, 5, 5, 5, -90, 90));
    set('E', Builder(6).line({{6, 0}, {0, 0}, {0, 10}, {6, 10}}).line({{0, 4.9}, {5, 4.9}}));
    set('F', Builder(6).line({{6, 0}, {0, 0}, {0, 10}}).line({{0, 4.9}, {5, 4.9}}));
    set('G', Builder(9.4).arc(5, 5, 5, 5, 0, 318).line({{5.2, 5}, {10, 5}}));
    set('H', Builder(7).line({{0, 0}, {0, 10}}).line({{7, 0}, {7, 10}}).line({{0, 4.9}, {7, 4.9}}));
    set('I', Builder(0).line({{0, 0}, {0, 10}}));
    set('J', Builder(6).line({{6, 0}, {6, 6.8}}).arc(3, 6.8, 3, 3.2, 0, 170));
    set('K', Builder(7).line({{0, 0}, {0, 10}}).line({{7, 0}, {0, 6.4}}).line({{2.6, 4.0}, {7, 10}}));
    set('L', Builder(6).line({{0, 0}, {0, 10}, {6, 10}}));
    set('M', Builder(9).line({{0, 10}, {0, 0}, {4.5, 6.4}, {9, 0}, {9, 10}}));
    set('N', Builder(7.4).line({{0, 10}, {0, 0}, {7.4, 10}, {7.4, 0}}));
    set('O', Builder(10).arc(5, 5, 5, 5, 0, 360));
    set('P', Builder(7).line({{0, 10}, {0, 0}, {4.2, 0}}).line({{0, 5.4}, {4.2, 5.4}}).arc(4.2, 2.7, 2.8, 2.7, -90, 90));
    set('Q', Builder(10).arc(5, 5, 5, 5, 0, 360).line({{6.2, 6.8}, {9.8, 10.4}}));
    set('R', Builder(7)
                 .line({{0, 10}, {0, 0}, {4.2, 0}})
                 .line({{0, 5.4}, {4.2, 5.4}})
                 .arc(4.2, 2.7, 2.8, 2.7, -90, 90)
                 .line({{3.4, 5.4}, {7, 10}}));
    set('S', Builder(7).arc(3.6, 2.6, 3.4, 2.6, 330, 90).arc(3.6, 7.4, 3.6, 2.6, 270, 525));
    set('T', Builder(8).line({{0, 0}, {8, 0}}).line({{4, 0}, {4, 10}}));
    set('U', Builder(7.4).line({{0, 0}, {0, 6.3}}).arc(3.7, 6.3, 3.7, 3.7, 180, 0).line({{7.4, 6.3}, {7.4, 0}}));
    set('V', Builder(8.4).line({{0, 0}, {4.2, 10}, {8.4, 0}}));
    set('W', Builder(11).line({{0, 0}, {2.6, 10}, {5.5, 2.4}, {8.4, 10}, {11, 0}}));
    set('X', Builder(7.6).line({{0, 0}, {7.6, 10}}).line({{7.6, 0}, {0, 10}}));
    set('Y', Builder(8).line({{0, 0}, {4, 5.2}, {8, 0}}).line({{4, 5.2}, {4, 10}}));
    return g;
}

double segmentDistanceSquared(double px, double py, double x0, double y0, double x1, double y1) {
    const double dx = x1 - x0;
    const double dy = y1 - y0;
    const double length2 = dx * dx + dy * dy;
    double t = 0.0;
    if (length2 > 0.0) {
        t = ((px - x0) * dx + (py - y0) * dy) / length2;
        if (t < 0.0) t = 0.0;
        if (t > 1.0) t = 1.0;
    }
    const double ex = px - (x0 + t * dx);
    const double ey = py - (y0 + t * dy);
    return ex * ex + ey * ey;
}

}  // namespace

const StrokeGlyph& strokeGlyph(int code) {
    static const std::array<StrokeGlyph, 59> glyphs = buildGlyphs();
    if (code < 32 || code > 90) return glyphs[0];
    return glyphs[static_cast<std::size_t>(code - 32)];
}

double InkMask::advance(int code, double unitX, double pen) { return strokeGlyph(code).width * unitX + pen; }

void InkMask::draw(int code, double x, double y, double unitX, double unitY, double pen) {
    const StrokeGlyph& glyph = strokeGlyph(code);
    const double half = pen / 2.0;
    const double r2 = half * half;
    // Segments in pixel space; the pen is round in pixels whatever the units.
    std::vector<Stroke> segments;
    for (const auto& s : glyph.strokes) {
        segments.push_back({x + half + s.x0 * unitX, y + half + s.y0 * unitY, x + half + s.x1 * unitX,
                            y + half + s.y1 * unitY});
    }
    double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
    for (const auto& s : segments) {
        left = std::min({left, s.x0, s.x1});
        right = std::max({right, s.x0, s.x1});
        top = std::min({top, s.y0, s.y1});
        bottom = std::max({bottom, s.y0, s.y1});
    }
    const int x0 = std::max(0, static_cast<int>(left - half) - 1);
    const int x1 = std::min(w_ - 1, static_cast<int>(right + half) + 1);
    const int y0 = std::max(0, static_cast<int>(top - half) - 1);
    const int y1 = std::min(h_ - 1, static_cast<int>(bottom + half) + 1);
    for (int py = y0; py <= y1; ++py) {
        for (int px = x0; px <= x1; ++px) {
            // 4 x 4 samples; a pixel is ink when at least half of them are.
            int inside = 0;
            for (int sy = 0; sy < 4; ++sy) {
                for (int sx = 0; sx < 4; ++sx) {
                    const double qx = px + (sx + 0.5) / 4.0;
                    const double qy = py + (sy + 0.5) / 4.0;
                    for (const auto& s : segments) {
                        if (qx < std::min(s.x0, s.x1) - half || qx > std::max(s.x0, s.x1) + half) continue;
                        if (qy < std::min(s.y0, s.y1) - half || qy > std::max(s.y0, s.y1) + half) continue;
                        if (segmentDistanceSquared(qx, qy, s.x0, s.y0, s.x1, s.y1) <= r2) {
                            ++inside;
                            break;
                        }
                    }
                }
            }
            if (inside >= 8) ink_[static_cast<std::size_t>(py * w_ + px)] = 1;
        }
    }
}

}  // namespace korvale::gen
