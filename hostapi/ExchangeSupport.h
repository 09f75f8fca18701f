// Helpers of the wrappers' record exchanges (internal to hostapi/).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>

#include "hostapi/HostPcbApi.h"
#include "hostapi/PcbTypes.h"
#include "hostapi/ShortString.h"

namespace hostapi::exchange {

inline bool IsWrite(uint8_t direction) {
  return direction == qdWrite || direction == qdWritePlacement;
}

// One string field on its way to and from the host: a 256-byte short-string
// buffer holding the field cut to its capacity. After a read through a bound
// host function the field takes the host's text, cut to the capacity; with
// the function absent the field stays as it was.
class StringField {
 public:
  StringField(std::string& field, size_t capacity)
      : field_(field), capacity_(capacity), buffer_(field, capacity) {}
  StringField(const StringField&) = delete;
  StringField& operator=(const StringField&) = delete;
  uint8_t* Data() { return buffer_.Data(); }
  void Finish(uint8_t direction, Api function) {
    if (!IsWrite(direction) && BoundEntry(function)) field_ = buffer_.Text(capacity_);
  }

 private:
  std::string& field_;
  size_t capacity_;
  ShortString buffer_;
};

// Calls a record function with the leading arguments and then the address of
// every element of a field array, in index order.
template <class Fn, class T, size_t N, class... Lead>
auto CallWithFields(const Fn& fn, std::array<T, N>& fields, Lead... lead) {
  return [&]<size_t... I>(std::index_sequence<I...>) {
    return fn(lead..., &fields[I]...);
  }(std::make_index_sequence<N>{});
}

}  // namespace hostapi::exchange
