// Coverage masks and RGB pictures for the picture maker, and the Netpbm writers.
//
// Letters are drawn four times too large, thickened there for their outlines, and then
// averaged down, so every edge is smooth without relying on the font's hinting.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

struct RGB {
    float r = 0, g = 0, b = 0;
};

inline RGB Mix(RGB a, RGB b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline RGB Scale(RGB a, float k) { return {a.r * k, a.g * k, a.b * k}; }
RGB Hue(float degrees); // full-saturation colour of a hue angle
// Piecewise-linear gradient through (position, colour) stops, positions ascending.
RGB Gradient(const std::vector<std::pair<float, RGB>>& stops, float at);

// Coverage from 0 to 1 per pixel; reads outside the mask give 0.
struct Mask {
    int w = 0, h = 0;
    std::vector<float> v;
    Mask() = default;
    Mask(int width, int height) : w(width), h(height), v(size_t(width) * height, 0.0f) {}
    float get(int x, int y) const { return x < 0 || y < 0 || x >= w || y >= h ? 0.0f : v[size_t(y) * w + x]; }
    float& at(int x, int y) { return v[size_t(y) * w + x]; }
};

// Every pixel takes the largest coverage within the radius: a round, even thickening.
Mask Dilate(const Mask& m, float radius);
Mask Shift(const Mask& m, int dx, int dy);
Mask Max(const Mask& a, const Mask& b);
// Box average of factor x factor blocks.
Mask Downsample(const Mask& m, int factor);

struct Picture {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb; // 3 bytes per pixel, rows from the top
    Picture(int width, int height) : w(width), h(height), rgb(size_t(width) * height * 3, 0) {}
    void set(int x, int y, RGB c);
    bool lit(int x, int y) const;
};

// Lays a letter mask onto the picture with its top-left corner at (x0, y0): outlined pixels
// take the edge colour, blended into the fill colour by the fill's coverage. A pixel neither
// mask reaches is left as it is; a lit pixel is never written as 0, which would turn it into
// a hole wherever the picture is copied transparently.
template <class FillColour>
void Paint(Picture& p, const Mask& fill, const Mask& edge, int x0, int y0, FillColour colour, RGB edgeColour) {
    for (int y = 0; y < fill.h; ++y)
        for (int x = 0; x < fill.w; ++x) {
            const float f = fill.get(x, y), o = std::max(edge.get(x, y), f);
            if (o < 0.5f) continue;
            p.set(x0 + x, y0 + y, Mix(edgeColour, colour(x0 + x, y0 + y), f));
        }
}

// Binary Netpbm files with one comment line, as the program embeds them.
void WritePPM(const Picture& p, const std::string& comment, const std::string& name);
void WritePGM(int w, int h, const std::vector<uint8_t>& grey, const std::string& comment, const std::string& name);
// Plain-text bitmap: "P1", the size, then one line of space-separated digits per row.
void WritePBM(const std::vector<std::string>& rows, const std::string& name);
