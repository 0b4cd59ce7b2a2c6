// Sets platform knobs (environment variables) for the length of a test, then restores them.
#pragma once

#include <stdlib.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/knobs.h"

class ScopedKnobs {
 public:
  ScopedKnobs(std::initializer_list<std::pair<const char *, const char *>> values) {
    for (const auto &[name, value] : values) {
      const char *old = getenv(name);
      saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
      if (value) {
        setenv(name, value, 1);
      } else {
        unsetenv(name);
      }
    }
    ilk::ReloadKnobs();
  }

  ~ScopedKnobs() {
    for (const auto &[name, value] : saved_) {
      if (value) {
        setenv(name.c_str(), value->c_str(), 1);
      } else {
        unsetenv(name.c_str());
      }
    }
    ilk::ReloadKnobs();
  }

  ScopedKnobs(const ScopedKnobs &) = delete;
  ScopedKnobs &operator=(const ScopedKnobs &) = delete;

 private:
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};
