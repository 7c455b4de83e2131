#pragma once
// How the process's heap gives memory back to the system.

// A printer document is built page by page in buffers of a few hundred kilobytes that are freed
// when the page is written out. By default the C library hands such memory straight back to the
// system and the next page faults it in again: keeping it holds 3,000 laser labels at 0.30 s of CPU
// instead of 0.47 s (bench laser_pdf), which the 15-fold lead over gLabels needs.
// This keeps up to 64 MiB of freed heap for reuse; allocations of 32 MiB and more still come from
// and go back to the system directly, so a large file read does not stay resident.
// Called once at the start of main, before any thread starts. Does nothing where the C library
// has no such settings.
void KeepFreedHeapForReuse();
