// The demo driver: start-up, what the whole show shares, and the frame end that paces,
// presents, feeds the music and obeys the keys. The parts and the table that plays them are in
// driver/show.h; the keys in driver/keys.h.
#pragma once
#include <cstdint>

#include "driver/rotozoom.h"
#include "driver/show.h"
#include "img/img.h"
#include "platform/platform.h"
#include "platform/sdldpy.h"
#include "platform/sdlkbd.h"
#include "platform/sdlsnd.h"
#include "sound/music.h"
#include "text/font.h"
#include "text/scroll.h"

constexpr int kScreenWidth = 256;
constexpr int kScreenHeight = 256;
constexpr uint32_t kRandomSeed = 542388762u;
constexpr uint32_t kFadeStep = 0x040404u;
constexpr int kFadeSteps = 64;
constexpr unsigned char kSkipRequest = 0x01; // bit of DEMO::control: SPACE ends the part
constexpr unsigned char kEndRequest = 0x02;  // bit of DEMO::control: the show ends (ESC's fade is done)
constexpr int kFrameRate = 50;               // frames per second, at start-up and after '6'
constexpr int kSlowFrameRate = 25;           // after '5'
constexpr int kScrollSpeedLimit = 32;        // 'a' and 's' keep the scroller's speed within +-32

// The driver's long-lived objects and the switches every part and key shares; what a part keeps
// for itself is in its own file. Nothing here is ever released: the process ends with all of it
// alive.
struct DEMO {
    SDLDPY* display = nullptr;
    SDLKBD* keyboard = nullptr;
    IMG* back = nullptr;          // every part draws here; every frame presents it
    unsigned char scroller = 1;   // scroller switch
    unsigned char readout = 0;    // frame-rate read-out switch
    unsigned char control = 0;    // control flags: kSkipRequest, kEndRequest
    SDLSND* sound = nullptr;      // null when no audio device could be opened
    MUSIC* music = nullptr;

    // Pictures decoded at start-up; the badge passes to the rotozoom.
    IMG* badge = nullptr;
    IMG* logo = nullptr;
    IMG* bigLogo = nullptr;       // the logo at twice its size; its x, y words hold its place
    IMG* corner = nullptr;        // the pale logo the later parts put in a corner
    int logoHomeX = 0, logoHomeY = 0;

    FONT* textFont = nullptr;     // 32 x 32 glyphs: scroller and read-out
    FONT* sprayFont = nullptr;    // 64 x 64 glows of part three
    SCROLL* scroll = nullptr;
    ROTOZOOM* rotozoom = nullptr;
};
extern DEMO demo;

// A program of the show, as its main names it: the backend and where it shows the pictures.
// Checks the backend's settings, starts up, runs the show until ESC's fade and ends: the exit
// status, 0; 1 when the show could not start; 2 for a setting that is not understood.
int DemoMain(const PLATFORM& backend, PLATFORMSCREEN screen);

// Start-up: opens the display, the keyboard and the sound, then DemoInitScene at the
// display's size. Null when the show can start; otherwise why not, one line for the program
// to say (nothing to show then: no display, or no memory).
const char* DemoInit();
// Everything of start-up that needs no window: back buffer, seed, pictures, objects, rate.
// Null, or as DemoInit what could not be made.
const char* DemoInitScene(int width, int height);

bool DemoFrameEnd(); // true when the part ends now
void DemoKey(int key); // what the key's row in driver/keys.cpp says; other keys do nothing
void DemoFadeOut();

// Start-up steps of the scene, in the order DemoInitScene runs them.
void DemoInitFonts();
void DemoInitScroller();
void DemoInitPictures();
void DemoInitRotozoom();
// What the steps above could not make (the first of it), or null.
const char* DemoSceneFailure();
// The frame-rate read-out, drawn by the frame end while switched on.
void DemoReadout();

