#include "platform/sdldpy.h"

// SDL_HWSURFACE | SDL_ANYFORMAT | SDL_FULLSCREEN
const uint32_t SDLDPYModeFlags = 0x90000001u;
