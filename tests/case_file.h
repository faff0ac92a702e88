// Test cases kept as data beside the test that runs them. A case file is a
// list of blocks:
//
//   == name of the case
//   key: value
//   key: another value for the same key
//
// Lines starting with "#" and empty lines are skipped. Values take C escapes
// (\n \r \t \\ \xHH), so any byte can be written on one line.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <utility>
#include <vector>

namespace rw::testing {

struct TestCase {
  std::string name;
  std::vector<std::pair<std::string, std::string>> fields;

  // The first value of `key`, or `fallback` when the case has none.
  std::string get(const std::string& key, const std::string& fallback = "") const {
    for (const auto& [k, v] : fields) {
      if (k == key) return v;
    }
    return fallback;
  }
  bool has(const std::string& key) const {
    for (const auto& field : fields) {
      if (field.first == key) return true;
    }
    return false;
  }
  std::vector<std::string> all(const std::string& key) const {
    std::vector<std::string> values;
    for (const auto& [k, v] : fields) {
      if (k == key) values.push_back(v);
    }
    return values;
  }
};

inline std::string unescape(const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\' || i + 1 == text.size()) {
      out += text[i];
      continue;
    }
    const char c = text[++i];
    if (c == 'n') out += '\n';
    else if (c == 'r') out += '\r';
    else if (c == 't') out += '\t';
    else if (c == 'x' && i + 2 < text.size()) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else out += c;
  }
  return out;
}

// The cases of `file`, a path relative to the tests folder.
inline std::vector<TestCase> readCases(const std::string& file) {
  std::ifstream in(std::string(REGWRIGHT_TESTS_DIR) + "/" + file);
  EXPECT_TRUE(in.good()) << "cannot read " << file;
  std::vector<TestCase> cases;
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    if (line.starts_with("== ")) {
      cases.push_back(TestCase{line.substr(3), {}});
      continue;
    }
    // "key: value", or "key:" for an empty value.
    size_t colon = line.find(": ");
    if (colon == std::string::npos && line.back() == ':') colon = line.size() - 1;
    if (cases.empty() || colon == std::string::npos) {
      ADD_FAILURE() << file << ": stray line: " << line;
      continue;
    }
    const std::string value = colon + 2 <= line.size() ? line.substr(colon + 2) : std::string();
    cases.back().fields.emplace_back(line.substr(0, colon), unescape(value));
  }
  return cases;
}

}  // namespace rw::testing
