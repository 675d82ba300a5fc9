#include "driver/show.h"

#include <iterator>

#include "driver/demo.h"

// Each part's file defines its row; a new part is its file and its row here.
extern const DEMOPART kLogoPart, kBurstsPart, kMosaicPart, kRectsPart;

namespace {
constinit const DEMOPART* const kShow[] = {&kLogoPart, &kBurstsPart, &kMosaicPart, &kRectsPart};
} // namespace

constinit const std::span<const DEMOPART* const> kDemoParts{kShow, std::size(kShow)};

void DemoRunPart(const DEMOPART& part) {
    part.setup();
    for (int i = 0; i < kPartLength; ++i) {
        part.frame();
        if (DemoFrameEnd()) return;
    }
}

void DemoRunShow() {
    for (;;) {
        for (const DEMOPART* part : kDemoParts) {
            DemoRunPart(*part);
            if (demo.control & kEndRequest) return;
        }
    }
}

void DemoStop() { demo.control |= kEndRequest; }
