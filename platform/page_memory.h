// Keeps the memory of page-sized images in the process once it has been touched. Every zone
// update and display rebuild allocates and frees images of tens of megabytes; left to its
// defaults the C library maps each afresh and hands it back when freed, so that most of an
// update's time went into the system clearing new pages.
#pragma once

// Called once at program start, before any image exists.
void KeepPageMemoryMapped();
