// The sample module's readers of outside data: the text form, the number list and raw PCM.
// The text readers see the input as a zero-terminated text; the raw reader sees its bytes
// through a file, in every width, byte order and sign.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "sound/sample.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (SAMPLE* s = SAMPLEFromASCII(text.c_str())) {
        // What was read must write back and read again to the same values.
        char* form = SAMPLEToASCII(s);
        SAMPLE* again = form ? SAMPLEFromASCII(form) : nullptr;
        if (s->length > 0 && !SAMPLEEqual(s, again)) std::abort();
        SAMPLEFree(&again);
        std::free(form);
        SAMPLEFree(&s);
    }
    if (SAMPLE* s = SAMPLEReadNumbers(text.c_str())) SAMPLEFree(&s);

    if (size < 2) return 0;
    const int width = data[0] & 1 ? 16 : 8;
    const char order = data[0] & 2 ? 'b' : 'l';
    const char sign = data[0] & 4 ? 's' : 'u';
    std::FILE* file = fmemopen(const_cast<uint8_t*>(data + 1), size - 1, "rb");
    if (!file) return 0;
    SAMPLE* raw = SAMPLEReadRaw(file, width, order, sign);
    std::fclose(file);
    // Every value read, in an array of just their number.
    if (raw && (raw->length != static_cast<int>(width == 8 ? size - 1 : (size - 1) / 2) ||
                raw->capacity != (raw->length > 0 ? raw->length : 1)))
        std::abort();
    if (raw) SAMPLEFree(&raw);
    return 0;
}
