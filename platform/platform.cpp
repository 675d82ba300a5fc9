#include "platform/platform.h"

#include <cstdio>

namespace {
const PLATFORM* chosen = nullptr;
} // namespace

const PLATFORM* Platform() { return chosen ? chosen : PlatformDefault; }

void PlatformChoose(const PLATFORM* backend) { chosen = backend; }

void PlatformSayOnStandardError(const char* line) { std::fprintf(stderr, "%s\n", line); }
