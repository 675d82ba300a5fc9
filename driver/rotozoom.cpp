#include "driver/rotozoom.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "data/assets.h"
#include "data/sine.h"
#include "support/identity.h"
#include "support/wrap.h"

namespace {
KELP_IDENTITY constexpr IDENTITY identity = MakeIdentity("ROTOZOOM", "20110515", "OrvilleK", "C++", "CODE");
unsigned char debug = 0;

bool PowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

int Log2(int n) {
    int shift = 0;
    while ((1 << shift) < n) ++shift;
    return shift;
}

// sine(angle) x side x 2 >> 15, in 64 bits so large targets cannot overflow the product.
int Direction(int64_t angle, int side) { return int((int64_t(SINEAt(angle)) * side * 2) >> 15); }

// Owns one point list for the length of a draw.
struct Points {
    int* list;
    explicit Points(int* points) : list(points) {}
    ~Points() { std::free(list); }
    Points(const Points&) = delete;
    Points& operator=(const Points&) = delete;
    int count() const { return list ? list[0] / 2 : 0; }
    const int* pairs() const { return list + 1; } // x, y of point k at [2k], [2k + 1]
};
} // namespace

void ROTOZOOMError() {
    if (debug) std::printf("ROTOZOOM error\n");
}

ROTOZOOM* ROTOZOOMNew() {
    auto* rotozoom = static_cast<ROTOZOOM*>(std::calloc(1, sizeof(ROTOZOOM)));
    if (!rotozoom) {
        ROTOZOOMError();
        return nullptr;
    }
    rotozoom->width = 256;
    rotozoom->height = 256;
    rotozoom->step = 1;
    // Without its default bitmap the record still works once a texture is set; until then it
    // refuses to draw.
    rotozoom->texture = IMGFromPNM(ASSETRotozoom);
    if (!rotozoom->texture) ROTOZOOMError();
    return rotozoom;
}

void ROTOZOOMFree(ROTOZOOM** rotozoom) {
    if (!rotozoom || !*rotozoom) {
        ROTOZOOMError();
        return;
    }
    if ((*rotozoom)->texture) IMGFree(&(*rotozoom)->texture);
    std::free(*rotozoom);
    *rotozoom = nullptr;
}

void ROTOZOOMSet(ROTOZOOM* rotozoom, IMG* texture, IMG* target) {
    if (!rotozoom) {
        ROTOZOOMError();
        return;
    }
    ROTOZOOMSetTexture(rotozoom, texture);
    ROTOZOOMSetTarget(rotozoom, target);
}

void ROTOZOOMSetTexture(ROTOZOOM* rotozoom, IMG* texture) {
    if (!rotozoom || !texture) {
        ROTOZOOMError();
        return;
    }
    // Setting the texture it already owns must not release it.
    if (rotozoom->texture == texture) return;
    if (rotozoom->texture) IMGFree(&rotozoom->texture);
    rotozoom->texture = texture;
}

void ROTOZOOMSetTarget(ROTOZOOM* rotozoom, IMG* target) {
    if (!rotozoom || !target) {
        ROTOZOOMError();
        return;
    }
    rotozoom->target = target;
    rotozoom->width = target->width;
    rotozoom->height = target->height;
    rotozoom->depth = target->depth;
}

void ROTOZOOMStep(ROTOZOOM* rotozoom) {
    if (!rotozoom) {
        ROTOZOOMError();
        return;
    }
    rotozoom->angle = wrap::Add(rotozoom->angle, rotozoom->step) & SINEMask;
}

void ROTOZOOMDraw(ROTOZOOM* rotozoom) {
    if (!rotozoom || !rotozoom->texture || !rotozoom->target) {
        ROTOZOOMError();
        return;
    }
    const IMG* texture = rotozoom->texture;
    IMG* target = rotozoom->target;
    const int width = target->width;
    const int height = target->height;
    // The wrap is a mask, so the texture's sides must be powers of two.
    if (!texture->pixels || !target->pixels || !PowerOfTwo(texture->width) || !PowerOfTwo(texture->height) ||
        width <= 0 || height <= 0) {
        ROTOZOOMError();
        return;
    }
    const int64_t a = rotozoom->angle;
    // Across (one point per target column) and down (one per target row), perpendicular, each
    // about twice the target's side long.
    const Points across(IMGLinePoints(0, 0, Direction(a, width), Direction(a + SINEQuarter, height)));
    const Points down(IMGLinePoints(0, 0, Direction(a - SINEQuarter, width), Direction(a, height)));
    // A target far from square can outrun a list at some angles; refuse rather than read past it.
    if (across.count() < width || down.count() < height) {
        ROTOZOOMError();
        return;
    }
    const int* p = across.pairs();
    const int* q = down.pairs();
    const int cx = width >> 1, cy = height >> 1;
    // Anchor so that the target's centre shows the texture's centre.
    const int bx = (texture->width >> 1) - q[2 * cy] - p[2 * cx];
    const int by = (texture->height >> 1) - q[2 * cy + 1] - p[2 * cx + 1];
    const unsigned maskX = unsigned(texture->width - 1);
    const unsigned maskY = unsigned(texture->height - 1);
    const int rowShift = Log2(texture->width);
    const uint32_t* texels = texture->pixels;
    for (int i = 0; i < height; ++i) {
        const unsigned rx = unsigned(q[2 * i] + bx);
        const unsigned ry = unsigned(q[2 * i + 1] + by);
        uint32_t* row = target->pixels + size_t(i) * size_t(width);
        for (int j = 0; j < width; ++j) {
            const unsigned tx = (unsigned(p[2 * j]) + rx) & maskX;
            const unsigned ty = (unsigned(p[2 * j + 1]) + ry) & maskY;
            row[j] = texels[(size_t(ty) << rowShift) | tx];
        }
    }
}
