// The frames a run of the program captures, and its output, for comparing runs.
#include "support/captured_frames.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

std::string MaskAddresses(const std::string &text) {
  return std::regex_replace(text, std::regex("[0-9A-F]{16}"), "################");
}

std::string ReadText(const std::string &path) {
  std::ifstream file(path);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

CaptureDir::CaptureDir() {
  char path[] = "/tmp/interlock-capture-XXXXXX";
  path_ = mkdtemp(path);
}

CaptureDir::~CaptureDir() { EXPECT_EQ(system(("rm -rf " + path_).c_str()), 0); }

std::map<std::string, std::string> CapturedFrames(const std::string &dir) {
  std::map<std::string, std::string> frames;
  for (const auto &entry : std::filesystem::directory_iterator(dir)) {
    frames[entry.path().filename().string()] = ReadText(entry.path().string());
  }
  return frames;
}
