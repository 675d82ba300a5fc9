// The demo driver: start-up, the endless cycle of the four parts and the frame end that
// paces, presents, feeds the music and obeys the keys.
//
// Every part is split into its set-up, the drawing of one frame and the shared frame loop,
// so a frame can be drawn into the back buffer without a window (tests, benchmarks).
#pragma once
#include <cstdint>

#include "img/img.h"
#include "platform/sdldpy.h"
#include "platform/sdlkbd.h"
#include "platform/sdlsnd.h"
#include "sound/music.h"

constexpr int kScreenWidth = 256;
constexpr int kScreenHeight = 256;
constexpr int kPartLength = 1023; // frames, not 1024
constexpr uint32_t kRandomSeed = 542388762u;
constexpr uint32_t kFadeStep = 0x040404u;
constexpr int kFadeSteps = 64;
constexpr unsigned char kSkipRequest = 0x01; // bit of DEMO::control

// The driver's long-lived objects and the state kept across frames and parts.
struct DEMO {
    SDLDPY* display;
    SDLKBD* keyboard;
    IMG* back;               // every part draws here; every frame presents it
    unsigned char scroller;  // scroller switch, 1 at start
    unsigned char readout;   // frame-rate read-out switch, 0 at start
    unsigned char control;   // control flags: kSkipRequest
    SDLSND* sound;           // null when no audio device could be opened
    MUSIC* music;
};
extern DEMO demo;

// Start-up: opens the display (or ends the program with a message when it cannot), then
// DemoInitScene at the display's size.
void DemoInit();
// Everything of start-up that needs no window: back buffer, seed, pictures, objects, rate.
void DemoInitScene(int width, int height);

bool DemoFrameEnd(); // true when the part ends now
void DemoKey(int key);
void DemoFadeOut();

// Runs a part: set-up, then up to kPartLength frames, each drawn and ended by DemoFrameEnd.
void DemoRunPart(void (*setup)(), void (*frame)());

void DemoPartLogo();
void DemoPartBursts();
void DemoPartMosaic();
void DemoPartRects();

// The parts' set-ups and per-frame drawing.
void DemoLogoSetup();
void DemoLogoFrame();
void DemoBurstsSetup();
void DemoBurstsFrame();
void DemoMosaicSetup();
void DemoMosaicFrame();
void DemoRectsSetup();
void DemoRectsFrame();
