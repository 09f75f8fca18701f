// What the recording host module (ProgressRecorder.cpp) keeps of the progress
// display.
#pragma once

#include <cstdint>
#include <type_traits>

extern "C" {
struct ProgressRecord {
  int64_t Inits;
  int64_t Updates;
  int64_t Finishes;
  int32_t Total;
  uint32_t TitleLength;
  char Title[256];
};
}
