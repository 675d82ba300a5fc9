// Measuring zero-terminated texts and reading or writing whole files as one text.
#pragma once

int TEXTLength(const char* text);
int TEXTLineCount(const char* text); // newline bytes; an unterminated last line is not counted
int TEXTWidth(const char* text);     // longest newline-terminated line
void TEXTToUpper(char* text);
// A file that cannot tell its size (a pipe, a device, a file of /proc) is read to its end, and
// refused (-1, null) beyond 16 MiB.
int TEXTFileSize(const char* name);  // -1 when the file cannot be opened or measured
char* TEXTRead(const char* name);    // caller frees; null when the file cannot be read
void TEXTWrite(const char* text, const char* name);
// The module's error reporter, as every module has one: "TEXT Error.\n" on standard output
// while the debug switch is on (off in every build); none of the operations above reports.
void TEXTError();
