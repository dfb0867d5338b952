// A runtime and a scratch directory for preference-file tests, with the
// preference file closed after each test.
#pragma once

#include <fstream>
#include <string>
#include <vector>

#include "prefs/prefs.h"
#include "runtime/file_io.h"
#include "support/runtime_fixture.h"
#include "support/scratch_dir.h"

class PrefsTest : public RuntimeTest {
 protected:
  ScratchDir dir;
  void TearDown() override {
    prefs_close();
    RuntimeTest::TearDown();
  }
  std::string write_file(const std::string& name, const std::string& bytes) {
    std::string path = dir.file(name);
    std::ofstream(path, std::ios::binary) << bytes;
    return path;
  }
  static std::string read_file(const std::string& path) {
    std::vector<std::uint8_t> contents;
    file_read_whole(path.c_str(), contents);
    return std::string(contents.begin(), contents.end());
  }
};
