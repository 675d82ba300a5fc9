#include "canvas.h"

#include <cstdio>
#include <stdexcept>

RGB Hue(float degrees) {
    const float h = std::fmod(std::fmod(degrees, 360.0f) + 360.0f, 360.0f) / 60.0f;
    const float x = 1.0f - std::fabs(std::fmod(h, 2.0f) - 1.0f);
    switch (int(h)) {
    case 0: return {1, x, 0};
    case 1: return {x, 1, 0};
    case 2: return {0, 1, x};
    case 3: return {0, x, 1};
    case 4: return {x, 0, 1};
    default: return {1, 0, x};
    }
}

RGB Gradient(const std::vector<std::pair<float, RGB>>& stops, float at) {
    if (at <= stops.front().first) return stops.front().second;
    for (size_t i = 1; i < stops.size(); ++i)
        if (at <= stops[i].first) {
            const auto& [p0, c0] = stops[i - 1];
            const auto& [p1, c1] = stops[i];
            return Mix(c0, c1, (at - p0) / (p1 - p0));
        }
    return stops.back().second;
}

Mask Dilate(const Mask& m, float radius) {
    const int r = int(std::ceil(radius));
    std::vector<std::pair<int, int>> disc;
    for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx)
            if (dx * dx + dy * dy <= radius * radius) disc.emplace_back(dx, dy);
    Mask out(m.w, m.h);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) {
            float best = 0;
            for (auto [dx, dy] : disc) best = std::max(best, m.get(x + dx, y + dy));
            out.at(x, y) = best;
        }
    return out;
}

Mask Shift(const Mask& m, int dx, int dy) {
    Mask out(m.w, m.h);
    for (int y = 0; y < m.h; ++y)
        for (int x = 0; x < m.w; ++x) out.at(x, y) = m.get(x - dx, y - dy);
    return out;
}

Mask Max(const Mask& a, const Mask& b) {
    Mask out(a.w, a.h);
    for (int y = 0; y < a.h; ++y)
        for (int x = 0; x < a.w; ++x) out.at(x, y) = std::max(a.get(x, y), b.get(x, y));
    return out;
}

Mask Downsample(const Mask& m, int factor) {
    Mask out(m.w / factor, m.h / factor);
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x) {
            float sum = 0;
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i) sum += m.get(x * factor + i, y * factor + j);
            out.at(x, y) = sum / float(factor * factor);
        }
    return out;
}

void Picture::set(int x, int y, RGB c) {
    if (x < 0 || y < 0 || x >= w || y >= h) return;
    auto byte = [](float v) { return uint8_t(std::clamp(std::lround(v * 255.0f), 0L, 255L)); };
    uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
    p[0] = byte(c.r);
    p[1] = byte(c.g);
    p[2] = byte(c.b);
    if (!p[0] && !p[1] && !p[2]) p[0] = p[1] = p[2] = 1; // the darkest colour that still shows
}

bool Picture::lit(int x, int y) const {
    const uint8_t* p = &rgb[(size_t(y) * w + x) * 3];
    return p[0] || p[1] || p[2];
}

namespace {

void WriteFile(const std::string& name, const std::string& bytes) {
    std::FILE* f = std::fopen(name.c_str(), "wb");
    if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size() || std::fclose(f) != 0)
        throw std::runtime_error("cannot write " + name);
}

std::string Header(const char* magic, const std::string& comment, int w, int h) {
    return std::string(magic) + "\n# " + comment + "\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
}

} // namespace

void WritePPM(const Picture& p, const std::string& comment, const std::string& name) {
    WriteFile(name, Header("P6", comment, p.w, p.h) + std::string(p.rgb.begin(), p.rgb.end()));
}

void WritePGM(int w, int h, const std::vector<uint8_t>& grey, const std::string& comment, const std::string& name) {
    WriteFile(name, Header("P5", comment, w, h) + std::string(grey.begin(), grey.end()));
}

void WritePBM(const std::vector<std::string>& rows, const std::string& name) {
    std::string text = "P1\n" + std::to_string(rows.front().size()) + " " + std::to_string(rows.size()) + "\n";
    for (const std::string& row : rows) {
        for (size_t i = 0; i < row.size(); ++i) {
            if (i) text += ' ';
            text += row[i] == '#' ? '1' : '0';
        }
        text += '\n';
    }
    WriteFile(name, text);
}
