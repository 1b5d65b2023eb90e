// A scratch folder that is the current directory while a test runs, and
// reading and writing whole files in it.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "code/Function_TestSupport.h"
#include "support/TestSupport.h"

namespace pxtest {

class InScratchDir {
 public:
  InScratchDir() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir_.path());
  }
  ~InScratchDir() { std::filesystem::current_path(previous_); }
  InScratchDir(const InScratchDir&) = delete;
  InScratchDir& operator=(const InScratchDir&) = delete;
  const std::filesystem::path& path() const { return dir_.path(); }

 private:
  ScratchDir dir_;
  std::filesystem::path previous_;
};

inline std::string ReadFile(const std::filesystem::path& path) {
  const auto bytes = ReadBytes(path);
  return std::string(bytes.begin(), bytes.end());
}

inline bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// A call and the error it must report ("" for none).
struct ReportCase {
  const char* message;
  const char* name;
  std::vector<px::RValue> args;
};

// Makes each call in turn and checks that the last report ends with its
// message, or that it reported nothing.
inline void ExpectReports(TestRun& run, std::span<const ReportCase> cases) {
  for (const ReportCase& c : cases) {
    run.rt.code.report.last.clear();
    CallWith(run, c.name, c.args);
    if (*c.message == 0) {
      EXPECT_EQ(run.rt.code.report.last, "") << c.name;
    } else {
      EXPECT_TRUE(EndsWith(run.rt.code.report.last, c.message))
          << c.name << ": " << run.rt.code.report.last << " / expected " << c.message;
    }
  }
}

}  // namespace pxtest
