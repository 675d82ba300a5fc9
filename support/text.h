// Measuring zero-terminated texts and reading or writing whole files as one text.
#pragma once

int TEXTLength(const char* text);
int TEXTLineCount(const char* text); // newline bytes; an unterminated last line is not counted
int TEXTWidth(const char* text);     // longest newline-terminated line
void TEXTToUpper(char* text);
int TEXTFileSize(const char* name);  // -1 when the file cannot be opened or measured
char* TEXTRead(const char* name);    // caller frees; null when the file cannot be read
void TEXTWrite(const char* text, const char* name);
