#include "face.h"

#include <climits>
#include <cmath>
#include <stdexcept>

FreeType::FreeType() {
    if (FT_Init_FreeType(&library_)) throw std::runtime_error("cannot start FreeType");
}

FreeType::~FreeType() { FT_Done_FreeType(library_); }

Face::Face(const FreeType& ft, const std::string& path) : path_(path) {
    if (FT_New_Face(ft.get(), path.c_str(), 0, &face_)) throw std::runtime_error("cannot open font " + path);
}

Face::~Face() { FT_Done_Face(face_); }

bool Face::Has(char32_t code) const { return FT_Get_Char_Index(face_, code) != 0; }

Ink Face::Draw(Mask* mask, char32_t code, float em, float sx, float sy, int penX, int penY) const {
    FT_Matrix matrix = {FT_Fixed(std::lround(sx * 65536.0f)), 0, 0, FT_Fixed(std::lround(sy * 65536.0f))};
    FT_Set_Transform(face_, &matrix, nullptr);
    if (FT_Set_Char_Size(face_, 0, FT_F26Dot6(std::lround(em * 64.0f)), 72, 72) ||
        FT_Load_Char(face_, code, FT_LOAD_RENDER | FT_LOAD_NO_HINTING | FT_LOAD_TARGET_NORMAL))
        throw std::runtime_error("cannot draw glyph " + std::to_string(unsigned(code)) + " of " + path_);

    const FT_GlyphSlot slot = face_->glyph;
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) throw std::runtime_error("unexpected glyph bitmap in " + path_);
    Ink ink;
    ink.advance = float(slot->advance.x) / 64.0f;
    ink.left = ink.top = INT_MAX;
    ink.right = ink.bottom = INT_MIN;
    for (unsigned row = 0; row < bitmap.rows; ++row)
        for (unsigned col = 0; col < bitmap.width; ++col) {
            const unsigned char value = bitmap.buffer[int(row) * bitmap.pitch + int(col)];
            if (!value) continue;
            const int x = slot->bitmap_left + int(col), y = int(row) - slot->bitmap_top;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x + 1);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y + 1);
            if (mask) {
                const int mx = penX + x, my = penY + y;
                if (mx >= 0 && my >= 0 && mx < mask->w && my < mask->h)
                    mask->at(mx, my) = std::max(mask->at(mx, my), value / 255.0f);
            }
        }
    if (ink.left == INT_MAX) ink = Ink{0, 0, 0, 0, ink.advance};
    return ink;
}
