// Makes the demo's pictures in data/ from Debian's DejaVu fonts:
//
//   kelp_pictures <data folder> [bold font file]
//
// The output depends only on the font file, so running it again reproduces the committed
// bytes. Every picture is drawn on pure black, which the demo treats as transparent: lit
// pixels are never 0, and letters carry a dark rim so they read on white as well as on black.
#include "face.h"
#include "canvas.h"

#include <cstdio>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr int kSuper = 4;        // letters are drawn this many times larger, then averaged down
constexpr float kRim = 1.5f;     // dark outline around letters, in picture pixels
constexpr int kShadow = 1;       // the rim is repeated this far right and down as a shadow

const char* const kDefaultFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";

RGB Bytes(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }

// Fill and rim masks, at picture scale, of whatever was drawn into a large mask.
struct Lettering {
    Mask fill, edge;
};

Lettering Finish(const Mask& large) {
    const Mask rim = Dilate(large, kRim * kSuper);
    const Mask edge = Max(rim, Shift(rim, kShadow * kSuper, kShadow * kSuper));
    return {Downsample(large, kSuper), Downsample(edge, kSuper)};
}

// ---- text font: 128 cells of 32 x 32 ------------------------------------------------------

constexpr int kCell = 32;
constexpr float kTextEm = 26.0f;
constexpr int kBaseline = 23;

// Codes 0..31 never appear in text: they hold the classic symbol set of that range, each in
// its own colour. 127 gets the little house that traditionally sits there.
constexpr char32_t kIcons[32] = {
    0x2605, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022, 0x25D8, 0x25CB, 0x25D9,
    0x2642, 0x2640, 0x266A, 0x266B, 0x263C, 0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7,
    0x25AC, 0x21A8, 0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC};
constexpr char32_t kHouse = 0x2302;

// Warm metal from pale gold at the cap line to crimson in the descenders; the same rows of
// every cell get the same colour, so a line of text reads as one band.
RGB TextColour(int y) {
    static const std::vector<std::pair<float, RGB>> stops = {
        {4.0f, Bytes(255, 252, 214)}, {10.0f, Bytes(255, 226, 92)}, {17.0f, Bytes(255, 160, 28)},
        {23.0f, Bytes(232, 72, 24)}, {30.0f, Bytes(176, 28, 92)}};
    return Gradient(stops, float(y % kCell));
}

RGB IconColour(int code, int y) {
    const RGB hue = Hue(float(code) * 360.0f / 32.0f);
    const float t = float(y % kCell) / float(kCell - 1);
    return t < 0.4f ? Mix(Mix(hue, {1, 1, 1}, 0.7f), hue, t / 0.4f) : Mix(hue, Scale(hue, 0.7f), (t - 0.4f) / 0.6f);
}

void DrawCell(Picture& font, const Face& face, int code) {
    const bool icon = code < 32;
    const char32_t glyph = icon ? kIcons[code] : code == 127 ? kHouse : char32_t(code);
    const float em = (icon ? 22.0f : kTextEm) * kSuper;
    // The room a glyph may take so that its rim and shadow stay inside the cell.
    const int room = (kCell - int(2 * kRim + 1) - kShadow) * kSuper;

    Ink ink = face.Draw(nullptr, glyph, em, 1, 1, 0, 0);
    float sx = 1;
    if (ink.width() > room) {
        sx = float(room) / float(ink.width());
        ink = face.Draw(nullptr, glyph, em, sx, 1, 0, 0);
    }
    const int margin = int(kRim * kSuper) + kSuper / 2;
    const int size = kCell * kSuper;
    const int penX = (size - kShadow * kSuper - ink.width()) / 2 - ink.left;
    int penY = icon ? (size - kShadow * kSuper - ink.height()) / 2 - ink.top : kBaseline * kSuper;
    penY = std::min(penY, size - kShadow * kSuper - margin - ink.bottom);
    penY = std::max(penY, margin - ink.top);

    Mask large(size, size);
    face.Draw(&large, glyph, em, sx, 1, penX, penY);
    const Lettering l = Finish(large);
    const int x0 = code % 32 * kCell, y0 = code / 32 * kCell;
    if (icon)
        Paint(font, l.fill, l.edge, x0, y0, [code](int, int y) { return IconColour(code, y); }, Bytes(26, 12, 40));
    else
        Paint(font, l.fill, l.edge, x0, y0, [](int, int y) { return TextColour(y); }, Bytes(34, 10, 30));
}

void MakeFont(const Face& face, const std::string& dir) {
    for (char32_t c : kIcons)
        if (!face.Has(c)) throw std::runtime_error("the font lacks symbol " + std::to_string(unsigned(c)));
    Picture font(32 * kCell, 4 * kCell);
    for (int code = 0; code < 128; ++code)
        if (code != ' ') DrawCell(font, face, code);
    WritePPM(font, "KELP2207 text font: 32 x 32 cells for codes 0 to 127, 32 a row", dir + "/font.ppm");
}

// ---- word logos ---------------------------------------------------------------------------

constexpr int kLogoW = 128, kLogoH = 32;

struct Word {
    Lettering letters;
    int top = 0, bottom = 0; // rows of the letters' ink
};

// "KELP2207" as tall, tightly set capitals filling the 128 x 32 box.
Word DrawWord(const Face& face) {
    const char* text = "KELP2207";
    const float em = 40.0f * kSuper, track = 0.07f * em;
    auto layout = [&](Mask* mask, float sx, float sy, int penX, int penY) {
        Ink all{INT32_MAX, INT32_MAX, INT32_MIN, INT32_MIN, 0};
        float pen = 0;
        for (const char* p = text; *p; ++p) {
            const Ink ink = face.Draw(mask, char32_t(*p), em, sx, sy, penX + int(std::lround(pen)), penY);
            all.left = std::min(all.left, int(std::lround(pen)) + ink.left);
            all.right = std::max(all.right, int(std::lround(pen)) + ink.right);
            all.top = std::min(all.top, ink.top);
            all.bottom = std::max(all.bottom, ink.bottom);
            pen += ink.advance - track * sx;
        }
        return all;
    };
    const int w = kLogoW * kSuper, h = kLogoH * kSuper;
    const int spare = int(2 * kRim + 1) * kSuper + kShadow * kSuper; // rim on both sides, shadow
    const Ink natural = layout(nullptr, 1, 1, 0, 0);
    const float sx = float(w - spare - 2 * kSuper) / float(natural.width());
    const float sy = float(h - spare) / float(natural.height());
    const Ink fitted = layout(nullptr, sx, sy, 0, 0);
    const int penX = (w - kShadow * kSuper - fitted.width()) / 2 - fitted.left;
    const int penY = (h - kShadow * kSuper - fitted.height()) / 2 - fitted.top;
    Mask large(w, h);
    layout(&large, sx, sy, penX, penY);
    return {Finish(large), (penY + fitted.top) / kSuper, (penY + fitted.bottom) / kSuper};
}

// Hue runs along the word from red to violet; each letter is lit from above.
RGB LogoColour(const Word& word, int x, int y) {
    const RGB hue = Hue(float(x) / float(kLogoW) * 290.0f);
    const float t = float(y - word.top) / float(std::max(1, word.bottom - word.top));
    if (t < 0.15f) return Mix(hue, {1, 1, 1}, 0.6f);
    if (t < 0.5f) return Mix(Mix(hue, {1, 1, 1}, 0.6f), hue, (t - 0.15f) / 0.35f);
    return Mix(hue, Scale(hue, 0.62f), (t - 0.5f) / 0.5f);
}

RGB CornerColour(const Word& word, int x, int y) {
    const RGB hue = Hue(float(x) / float(kLogoW) * 290.0f);
    const float t = float(y - word.top) / float(std::max(1, word.bottom - word.top));
    return Mix(hue, {1, 1, 1}, 0.78f - 0.18f * t);
}

void MakeLogos(const Face& face, const std::string& dir) {
    const Word word = DrawWord(face);
    Picture logo(kLogoW, kLogoH), corner(kLogoW, kLogoH);
    Paint(logo, word.letters.fill, word.letters.edge, 0, 0,
          [&](int x, int y) { return LogoColour(word, x, y); }, Bytes(24, 8, 40));
    Paint(corner, word.letters.fill, word.letters.edge, 0, 0,
          [&](int x, int y) { return CornerColour(word, x, y); }, Bytes(44, 40, 72));
    WritePPM(logo, "KELP2207 logo", dir + "/logo.ppm");
    WritePPM(corner, "KELP2207 corner logo, pale", dir + "/corner.ppm");
}

// ---- badge --------------------------------------------------------------------------------

// A domed green button with a bevelled rim and an embossed K, touching all four edges.
void MakeBadge(const Face& face, const std::string& dir) {
    constexpr int kSide = 64, n = kSide * kSuper;
    Mask letter(n, n);
    const float em = 46.0f * kSuper;
    const Ink ink = face.Draw(nullptr, U'K', em, 1, 1, 0, 0);
    face.Draw(&letter, U'K', em, 1, 1, (n - ink.width()) / 2 - ink.left, (n - ink.height()) / 2 - ink.top);
    const Mask shadow = Shift(Dilate(letter, 0.8f * kSuper), 2 * kSuper, 2 * kSuper);

    const float lx = -0.45f, ly = -0.6f, lz = 0.66f; // light from the top left, towards the viewer
    std::vector<RGB> large(size_t(n) * n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const float dx = ((x + 0.5f) / kSuper - 32.0f) / 32.0f, dy = ((y + 0.5f) / kSuper - 32.0f) / 32.0f;
            const float r = std::sqrt(dx * dx + dy * dy);
            RGB c;
            if (r > 1.0f) {
                c = {0, 0, 0};
            } else if (r > 0.86f) { // rim sloping outwards
                const float k = 0.7071f, shade = (dx / r * k * lx + dy / r * k * ly + k * lz);
                c = Scale(Bytes(52, 168, 64), 0.35f + 0.75f * std::max(0.0f, shade));
            } else if (r > 0.82f) { // groove between rim and face
                c = Bytes(12, 58, 22);
            } else { // gently domed face
                const float nx = dx * 0.45f, ny = dy * 0.45f, nz = std::sqrt(1.0f - nx * nx - ny * ny);
                const float shade = nx * lx + ny * ly + nz * lz;
                c = Scale(Bytes(48, 176, 72), 0.55f + 0.6f * shade);
                const float hx = dx + 0.32f, hy = dy + 0.42f, spot = std::max(0.0f, 1.0f - std::sqrt(hx * hx + hy * hy) / 0.42f);
                c = Mix(c, Bytes(210, 255, 200), 0.55f * spot * spot);
                c = Mix(c, Bytes(10, 70, 26), 0.85f * shadow.get(x, y));
                const float t = (dy + 0.5f) / 1.0f;
                c = Mix(c, Mix(Bytes(255, 255, 236), Bytes(208, 240, 160), std::clamp(t, 0.0f, 1.0f)), letter.get(x, y));
            }
            large[size_t(y) * n + x] = c;
        }

    Picture badge(kSide, kSide);
    for (int y = 0; y < kSide; ++y)
        for (int x = 0; x < kSide; ++x) {
            RGB sum;
            for (int j = 0; j < kSuper; ++j)
                for (int i = 0; i < kSuper; ++i) {
                    const RGB& c = large[size_t(y * kSuper + j) * n + x * kSuper + i];
                    sum = {sum.r + c.r, sum.g + c.g, sum.b + c.b};
                }
            const RGB c = Scale(sum, 1.0f / (kSuper * kSuper));
            if (c.r + c.g + c.b > 0) badge.set(x, y, c);
        }
    WritePPM(badge, "KELP2207 badge", dir + "/badge.ppm");
}

// ---- spray glows --------------------------------------------------------------------------

// Four soft round glows, one per 64 x 64 cell, each falling smoothly to 0 before its cell's
// edge so a spray never leaves a square mark.
void MakeSpray(const std::string& dir) {
    constexpr int kSide = 64;
    const float radii[4] = {31.5f, 23.0f, 15.0f, 8.5f};
    std::vector<uint8_t> grey(size_t(kSide) * kSide * 4, 0);
    for (int cell = 0; cell < 4; ++cell)
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                const float dx = x + 0.5f - kSide / 2.0f, dy = y + 0.5f - kSide / 2.0f;
                const float t = std::sqrt(dx * dx + dy * dy) / radii[cell];
                if (t >= 1.0f) continue;
                const float u = 1.0f - t * t;
                grey[size_t(cell * kSide + y) * kSide + x] = uint8_t(std::lround(255.0f * u * u));
            }
    WritePGM(kSide, kSide * 4, grey, "KELP2207 spray glows: four 64 x 64 cells, largest first", dir + "/spray.pgm");
}

// ---- rotozoom bitmap ----------------------------------------------------------------------

void MakeBitmap(const std::string& dir) {
    WritePBM({"................",
              ".####.....#####.",
              ".####....#####..",
              ".####...#####...",
              ".####..#####....",
              ".####.#####.....",
              ".#########......",
              ".########.......",
              ".#########......",
              ".##########.....",
              ".####.######....",
              ".####..######...",
              ".####...######..",
              ".####....######.",
              ".####.....#####.",
              "................"},
             dir + "/rotozoom.pbm");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: kelp_pictures <data folder> [bold font file]\n");
        return 2;
    }
    try {
        const std::string dir = argv[1];
        const FreeType ft;
        const Face face(ft, argc > 2 ? argv[2] : kDefaultFont);
        MakeFont(face, dir);
        MakeLogos(face, dir);
        MakeBadge(face, dir);
        MakeSpray(dir);
        MakeBitmap(dir);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kelp_pictures: %s\n", e.what());
        return 1;
    }
    return 0;
}
