// The frames a run of the program captures (INTERLOCK_CAPTURE) and its output, in a form runs
// can be compared in.
#pragma once

#include <map>
#include <string>

// `text` with every 16-digit hexadecimal address masked: addresses differ from run to run.
std::string MaskAddresses(const std::string &text);
// The whole file; empty when it cannot be read.
std::string ReadText(const std::string &path);

// A new empty folder under /tmp, removed with everything in it at the end of its scope.
class CaptureDir {
 public:
  CaptureDir();
  ~CaptureDir();
  CaptureDir(const CaptureDir &) = delete;
  CaptureDir &operator=(const CaptureDir &) = delete;
  const std::string &path() const { return path_; }

 private:
  std::string path_;
};

// Every captured frame of a run, its file's bytes by file name.
std::map<std::string, std::string> CapturedFrames(const std::string &dir);
