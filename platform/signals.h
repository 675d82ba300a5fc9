// Shared inside the platform layer: whether SIGINT or SIGTERM has arrived since video started.
#pragma once

bool PlatformTerminationRequested();
