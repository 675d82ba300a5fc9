// The show's keys, one row each in one table: what the keyboard gives, what a person reads on
// the recorder's command line, on the page's buttons, in the READMEs and the manual page, and
// what the key does. DemoKey acts on this table, the recorder reads its key names from it, and
// a test holds the page, the READMEs and the manual pages to it.
#pragma once
#include <span>

struct DEMOKEY {
    unsigned char code; // the key byte (the keyboard's, compared as a signed character)
    const char* name;   // on the recorder's command line; the documents spell ESC and SPACE in capitals
    const char* button; // the page's button, or the part of it that stands for this key
    const char* effect; // what it does, in a few words: how the READMEs and the manual page begin it
    void (*act)();
};

extern const std::span<const DEMOKEY> kDemoKeys;

// The row of a key byte, or null: keys not in the table do nothing.
const DEMOKEY* DemoFindKey(int code);
// The row of a command-line name, or null.
const DEMOKEY* DemoFindKeyName(const char* name);
