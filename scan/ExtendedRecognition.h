// The extended header tests, on only when the configuration or the command line asks for them
// (the classic sixteen stay exact otherwise): formats the classic table does not know, and the
// form type of a RIFF file, which the classic table takes for audio whatever it holds.
#pragma once

#include "FileRecognition.h"

#include <cstddef>
#include <cstdint>

namespace tessaly {

// Extended kinds, beyond the classic codes.
enum ExtendedKindCode : int32_t {
  kKindRiffWave = 32,
  kKindRiffAvi = 33,
  kKindRiffWebp = 34,
  kKindRiffMidi = 35,
  kKindMpeg2ProgramStream = 36,
  kKindWebm = 37,
  kKindMatroskaDocType = 38,
  kKindMp3Frames = 39,
  kKindFlac = 40,
  kKindMp4Audio = 41,
  kKindMp4Video = 42,
  kKindQuickTime = 43,
  kKindMidi = 44,
  kKindTiff = 45,
  kKindHeif = 46,
  kKindAvif = 47,
};

// `header` holds kHeaderSize bytes (zero beyond the `size` read). True, with `out` set, when one
// of the extended tests matches.
bool RecogniseExtendedHeader(const uint8_t* header, size_t size, HeaderKind& out);

// A classic "RIF" match refined by the RIFF form type at offset 8: WAVE and RMID stay audio, AVI
// is video, WEBP an image; any other form keeps the classic answer.
void RefineRiffForm(const uint8_t* header, HeaderKind& kind);

}  // namespace tessaly
