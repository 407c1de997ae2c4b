// A test seam, not part of the host SDK's interface: it counts AllocExt's
// allocations and makes a chosen one fail (return null) as if memory had run out.
#pragma once

#include "FileIO/Export.h"

// The nth AllocExt from now fails (1: the next one); 0 fails none. The count restarts.
FILEIO_API void FileIOTestFailAllocation(long long nth);
// The AllocExt calls made since the last FileIOTestFailAllocation.
FILEIO_API long long FileIOTestAllocationCount();
