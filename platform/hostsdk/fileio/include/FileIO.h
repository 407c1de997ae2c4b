#pragma once

// The host SDK's FileIO library: text, memory, text files, registry, paths.
#include "FileIO/FileStream.h"
#include "FileIO/Memory.h"
#include "FileIO/Registry.h"
#include "FileIO/String.h"
