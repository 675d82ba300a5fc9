// Every module carries a static identity record of fixed eight-character text fields
// (name, date of last change, author, language, kind). Nothing reads them; they are kept
// so a reader of the binary can tell which module version it holds.
#pragma once

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
