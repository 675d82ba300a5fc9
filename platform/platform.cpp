#include "platform/platform.h"

namespace {
const PLATFORM* chosen = nullptr;
} // namespace

const PLATFORM* Platform() { return chosen ? chosen : PlatformDefault; }

void PlatformChoose(const PLATFORM* backend) { chosen = backend; }
