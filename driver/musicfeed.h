// The music feed: opens the sound output at start-up, builds the music generator from the
// instrument table, and in every frame end ticks it and keeps its bar queued so it loops.
#pragma once

constexpr int kSoundQueueLimit = 4; // the bar is queued again only while fewer wait

void DemoInitSound(); // no audio device: demo.sound stays null and the demo runs silent
void DemoInitMusic();
void DemoMusicTick();
