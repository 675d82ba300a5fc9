// Small helpers for the grey-map tests: owned maps made from byte lists and read back.
#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "bytemap/bytemap.h"

struct MapDeleter {
    void operator()(BYTEMAP* map) const { BYTEMAPFree(&map); }
};
using Map = std::unique_ptr<BYTEMAP, MapDeleter>;

inline Map MakeMap(int width, int height, const std::vector<uint8_t>& bytes = {}) {
    Map map(BYTEMAPNew());
    BYTEMAPSetSize(map.get(), width, height);
    for (size_t i = 0; i < bytes.size(); ++i) map->data[i] = bytes[i];
    return map;
}

// A map whose pixel i holds first + i (modulo 256): neighbours distinct, and from first = 1
// nonzero for the first 255 pixels.
inline Map Numbered(int width, int height, int first = 0) {
    Map map = MakeMap(width, height);
    for (int i = 0; i < width * height; ++i) map->data[i] = uint8_t(first + i);
    return map;
}

inline std::vector<uint8_t> Bytes(const BYTEMAP* map) {
    return std::vector<uint8_t>(map->data, map->data + size_t(map->width) * size_t(map->height));
}

// One row of a map, for readable expectations.
inline std::vector<uint8_t> Row(const BYTEMAP* map, int y) {
    const uint8_t* row = map->data + size_t(y) * size_t(map->width);
    return std::vector<uint8_t>(row, row + map->width);
}

// Every pixel that is not 0, as (x, y) pairs in array order.
inline std::vector<std::pair<int, int>> Lit(const BYTEMAP* map) {
    std::vector<std::pair<int, int>> points;
    for (int y = 0; y < map->height; ++y)
        for (int x = 0; x < map->width; ++x)
            if (map->data[y * map->width + x]) points.emplace_back(x, y);
    return points;
}
