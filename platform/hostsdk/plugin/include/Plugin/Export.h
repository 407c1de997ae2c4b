#pragma once

// The host SDK libraries export their API; everything else stays inside.
#define PLUGIN_API __attribute__((visibility("default")))
