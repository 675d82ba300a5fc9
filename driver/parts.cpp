// The four visual parts. Until each effect is written, a part shows its frames cleared.
#include "driver/demo.h"

void DemoLogoSetup() { IMGClear(demo.back); }
void DemoLogoFrame() {}

void DemoBurstsSetup() { IMGClear(demo.back); }
void DemoBurstsFrame() {}

void DemoMosaicSetup() { IMGClear(demo.back); }
void DemoMosaicFrame() {}

void DemoRectsSetup() { IMGClear(demo.back); }
void DemoRectsFrame() {}
