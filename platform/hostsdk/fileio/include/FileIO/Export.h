#pragma once

// The host SDK libraries export their API; everything else stays inside.
#define FILEIO_API __attribute__((visibility("default")))
