// The backend a program starts on. Built once a backend, as the kelp_default_desktop,
// kelp_default_browser and kelp_default_headless libraries, each naming its own record.
#include "platform/platform.h"

const PLATFORM* const PlatformDefault = &KELP_DEFAULT_BACKEND;
