// Every module carries a static identity record of fixed eight-character text fields
// (name, date of last change, author, language, kind). Nothing in the program reads them:
// they stand together in a section of their own, which the linker keeps and strip leaves in
// place, so a reader of the binary, stripped or not, can tell which module versions it holds
// (objdump -s -j kelp_identity kelp2207).
#pragma once

// Puts a module's record in that section and keeps it, though nothing refers to it. An
// attribute list cannot be named any other way; one spelling keeps every record in one place.
// Only ELF's linkers drop a section nothing refers to (GCC elsewhere ignores `retain`, with a
// warning; a PE image keeps the section, under its first eight letters).
#if defined(__ELF__) || defined(__clang__)
#define KELP_IDENTITY [[gnu::used, gnu::retain, gnu::section("kelp_identity")]]
#else
#define KELP_IDENTITY [[gnu::used, gnu::section("kelp_identity")]]
#endif

struct IDENTITY {
    char name[8];
    char date[8];
    char author[8];
    char language[8];
    char kind[8];
};

namespace identity_detail {
// Copies at most eight characters, padding with zeros: the fields are fixed width, not strings.
template <unsigned N>
constexpr void Field(char (&field)[8], const char (&text)[N]) {
    for (unsigned i = 0; i < 8; ++i) field[i] = i + 1 < N ? text[i] : '\0';
}
} // namespace identity_detail

template <unsigned A, unsigned B, unsigned C, unsigned D, unsigned E>
constexpr IDENTITY MakeIdentity(const char (&name)[A], const char (&date)[B], const char (&author)[C],
                                const char (&language)[D], const char (&kind)[E]) {
    IDENTITY id{};
    identity_detail::Field(id.name, name);
    identity_detail::Field(id.date, date);
    identity_detail::Field(id.author, author);
    identity_detail::Field(id.language, language);
    identity_detail::Field(id.kind, kind);
    return id;
}
