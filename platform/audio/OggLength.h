#pragma once
// The length of an Ogg Vorbis or Opus file whose end is missing (a download cut short): the
// decoder gives up on such files, but every complete page records how many frames end in it.
#include <cstdint>

// Frames up to the end of the last complete page of the Ogg file open on fd, in the rate the
// decoder reports (Opus: 48 kHz, pre-skip removed). -1 when there is no such page.
int64_t OggDecodableFrames(int fd);
