#include "platform/sdldpy.h"

// SDL_HWSURFACE | SDL_ANYFORMAT
const uint32_t SDLDPYModeFlags = 0x10000001u;
