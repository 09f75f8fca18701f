// pcbhost run as a person runs it from a shell, for the end-to-end tests:
// each test gets a folder of its own (removed afterwards), the program's
// standard output and error are caught in files there and its standard input
// is empty, so that it never finds a terminal.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace pcbhosttest {

namespace fs = std::filesystem;

// The text quoted for the shell.
inline std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += (c == '\'') ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// The whole content of a file (empty when it cannot be read).
inline std::string Slurp(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// How pcbhost ended and what it wrote.
struct Result {
  int code = -1;  // the exit status; -1 when it did not exit
  std::string out, err;
};

using Environment = std::vector<std::pair<std::string, std::string>>;

// Runs `pcbhost ARGS` (ARGS as the shell reads them) in `workFolder`, with
// the variables of `environment` set; its output lands in `workFolder`.
inline Result RunPcbhost(const fs::path& workFolder, const std::string& args,
                         const Environment& environment = {}) {
  const fs::path out = workFolder / "stdout.txt", err = workFolder / "stderr.txt";
  std::string command = "cd " + Quote(workFolder.string()) + " && ";
  for (const auto& [name, value] : environment) command += name + "=" + Quote(value) + " ";
  command += Quote(std::string(PCBIMPORT_BIN_DIR) + "/pcbhost") + " " + args + " </dev/null >" +
             Quote(out.string()) + " 2>" + Quote(err.string());
  const int status = std::system(command.c_str());
  Result r;
  r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.out = Slurp(out);
  r.err = Slurp(err);
  return r;
}

// A test with a folder of its own, named after `prefix`, the process and the
// test, and pcbhost run in it. The program keeps its settings in the
// folder's "appdata" (PCBIMPORT_APPDATA), never in the user's.
class PcbhostTest : public ::testing::Test {
 protected:
  explicit PcbhostTest(std::string prefix) : prefix_(std::move(prefix)) {}

  void SetUp() override {
    folder = fs::temp_directory_path() /
             (prefix_ + std::to_string(::getpid()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder / "appdata");
  }
  void TearDown() override { fs::remove_all(folder); }

  // Writes a file in the test's folder; answers its path.
  std::string Write(const std::string& name, const std::string& content) const {
    const fs::path p = folder / name;
    std::ofstream(p, std::ios::binary) << content;
    return p.string();
  }

  // pcbhost ARGS in the test's folder, with `environment` besides the
  // application-data folder.
  Result Run(const std::string& args, Environment environment = {}) const {
    environment.emplace_back("PCBIMPORT_APPDATA", (folder / "appdata").string());
    return RunPcbhost(folder, args, environment);
  }

  fs::path folder;

 private:
  std::string prefix_;
};

}  // namespace pcbhosttest
