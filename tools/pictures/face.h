// A TrueType face through FreeType, drawing single glyphs into coverage masks.
//
// Glyphs are loaded unhinted: they are drawn large and averaged down, and the unhinted outline
// is the same on every FreeType build, which keeps the pictures reproducible.
#pragma once
#include "canvas.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <string>

// Extent of the lit pixels relative to the pen origin (y grows downwards), and the advance.
struct Ink {
    int left = 0, top = 0, right = 0, bottom = 0; // right and bottom exclusive
    float advance = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
};

class FreeType {
public:
    FreeType();
    ~FreeType();
    FreeType(const FreeType&) = delete;
    FreeType& operator=(const FreeType&) = delete;
    FT_Library get() const { return library_; }

private:
    FT_Library library_ = nullptr;
};

class Face {
public:
    Face(const FreeType& ft, const std::string& path);
    ~Face();
    Face(const Face&) = delete;
    Face& operator=(const Face&) = delete;

    bool Has(char32_t code) const;
    // Draws the glyph of code with its origin at (penX, penY) of the mask, em pixels to the
    // em, stretched by sx across and sy down; with a null mask it only measures.
    Ink Draw(Mask* mask, char32_t code, float em, float sx, float sy, int penX, int penY) const;

private:
    FT_Face face_ = nullptr;
    std::string path_;
};
