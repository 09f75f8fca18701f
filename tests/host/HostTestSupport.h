// Test support: the stand-in host module loaded with the platform loader,
// every called PcbApi_ function looked up by name (the plug-ins' way), and
// the host interface for looking at what the functions did.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/tarvex/TarvexHost.h"
#include "hostapi/PcbApiAbi.h"
#include "platform/Platform.h"

namespace hosttest {

struct TarvexApi {
#define HOSTTEST_ENTRY(name, result, params) pcbabi::name##_t name = nullptr;
  PCBAPI_CALLED_FUNCTIONS(HOSTTEST_ENTRY)
#undef HOSTTEST_ENTRY
  std::vector<std::string> missing;
};

// Loads libTarvex.so from the build's bin folder once per process.
inline platform::ModuleHandle TarvexModule() {
  static platform::ModuleHandle module = [] {
    std::string error;
    platform::ModuleHandle m =
        platform::LoadModule(std::string(PCBIMPORT_BIN_DIR) + "/libTarvex.so", &error);
    if (!m) ADD_FAILURE() << error;
    return m;
  }();
  return module;
}

inline const TarvexApi& Api() {
  static TarvexApi api = [] {
    TarvexApi a;
    platform::ModuleHandle m = TarvexModule();
#define HOSTTEST_BIND(name, result, params)                                        \
  a.name = reinterpret_cast<pcbabi::name##_t>(platform::FindExport(m, #name)); \
  if (!a.name) a.missing.push_back(#name);
    PCBAPI_CALLED_FUNCTIONS(HOSTTEST_BIND)
#undef HOSTTEST_BIND
    return a;
  }();
  return api;
}

inline tarvex::ITarvexHost& Host() {
  tarvex::ITarvexHost* host = tarvex::TarvexHostOf(TarvexModule());
  if (!host) throw std::runtime_error("no host interface");
  return *host;
}

// A length-prefixed string of 256 bytes.
inline std::vector<uint8_t> Short(const std::string& text) {
  std::vector<uint8_t> s(256, 0);
  const size_t n = std::min<size_t>(text.size(), 255);
  s[0] = static_cast<uint8_t>(n);
  std::copy(text.begin(), text.begin() + static_cast<ptrdiff_t>(n), s.begin() + 1);
  return s;
}

inline std::string FromShort(const uint8_t* s) {
  return std::string(reinterpret_cast<const char*>(s + 1), s[0]);
}

// Every test starts from an empty host.
class HostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Api().missing.empty());
    Host().Reset();
  }
  const TarvexApi& api = Api();
  tarvex::ITarvexHost& host = Host();
};

}  // namespace hosttest
