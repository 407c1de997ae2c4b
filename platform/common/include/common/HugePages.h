#pragma once

// A million-patch model fills its arrays, Mesa's software renderer its vertex
// and bin buffers at every frame, and an FBX file of 100,000 materials its
// scene objects, hundreds of megabytes at a time. In 4 KB pages the kernel's
// page faults then take a third of the processor time of opening the model or
// reading the file; in 2 MB transparent huge pages they take next to none.
// glibc asks for those when its tunable glibc.malloc.hugetlb says so, and
// reads tunables only as a program starts: so the program starts again, at
// once and the same (its process id, files and arguments), with the tunable
// added. Returns when nothing was done: the tunable is set already (to
// whatever the user chose), the kernel has no transparent huge pages, or a
// sanitizer keeps the heap.
void RestartWithHugePages(char** argv);
