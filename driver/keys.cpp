#include "driver/keys.h"

#include <cstring>
#include <iterator>

#include "driver/demo.h"
#include "driver/fps.h"

namespace {
void End() {
    DemoFadeOut();
    demo.control |= kEndRequest; // the show returns, and the program ends with status 0
}
void Skip() { demo.control |= kSkipRequest; }
void Scroller() { demo.scroller ^= 1; }
void Faster() {
    if (demo.scroll && demo.scroll->speed < kScrollSpeedLimit) ++demo.scroll->speed;
}
void Slower() {
    if (demo.scroll && demo.scroll->speed > -kScrollSpeedLimit) --demo.scroll->speed;
}
void Rate25() { FPSState.target = kSlowFrameRate; }
void Rate50() { FPSState.target = kFrameRate; }
void Readout() { demo.readout ^= 1; }

constinit const DEMOKEY kKeys[] = {
    {SDLKBDEscape, "esc", "end", "fade to black and quit", End},
    {' ', "space", "next part", "next part", Skip},
    {'1', "1", "scroller", "scroller off or on", Scroller},
    {'a', "a", "faster", "scroller faster", Faster},
    {'s', "s", "slower", "scroller slower", Slower},
    {'5', "5", "25", "25 frames a second", Rate25},
    {'6', "6", "50", "50 frames a second", Rate50},
    {'f', "f", "frame rate", "show the measured frame rate", Readout},
};
} // namespace

constinit const std::span<const DEMOKEY> kDemoKeys{kKeys, std::size(kKeys)};

const DEMOKEY* DemoFindKey(int code) {
    for (const DEMOKEY& key : kDemoKeys) {
        if (static_cast<signed char>(key.code) == static_cast<signed char>(code)) return &key;
    }
    return nullptr;
}

const DEMOKEY* DemoFindKeyName(const char* name) {
    for (const DEMOKEY& key : kDemoKeys) {
        if (name && std::strcmp(key.name, name) == 0) return &key;
    }
    return nullptr;
}

void DemoKey(int key) {
    if (const DEMOKEY* row = DemoFindKey(key)) row->act();
}
