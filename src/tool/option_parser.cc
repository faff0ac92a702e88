#include "tool/option_parser.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <sys/stat.h>

namespace rw {

void OptionParser::parse(const std::vector<std::string>& words) {
  for (size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    // An option's name wins over the "@" and "-" rules below, and its
    // argument is the next word whatever it looks like.
    if (const Option* option = findOption(word)) {
      std::string_view argument;
      if (option->takesArgument) {
        if (i + 1 >= words.size()) {
          diagnostics_.error("expected argument for option " + word);
          return;
        }
        argument = words[++i];
      }
      if (option->write != nullptr) {
        setOutput(option->name, argument);
      } else {
        option->apply(commandLine_, argument);
      }
    } else if (word.starts_with('@')) {
      readIndirectFile(word.substr(1));
    } else if (word.starts_with('-')) {
      diagnostics_.error("unrecognised option " + word);
    } else {
      commandLine_.positionals.push_back(word);
    }
  }
}

void OptionParser::setOutput(std::string_view option, std::string_view path) {
  for (auto& [name, named] : commandLine_.outputs) {
    if (name == option) {
      named = path;
      return;
    }
  }
  commandLine_.outputs.emplace_back(option, path);
}

void OptionParser::readIndirectFile(const std::string& fileName) {
  if (indirectDepth_ == kMaxIndirectDepth || indirectFilesRead_ == kMaxIndirectFiles) {
    diagnostics_.error("too many indirect files");
    return;
  }
  if (indirectExhausted_) return;
  std::FILE* file = std::fopen(fileName.c_str(), "r");
  // A folder opens, and only fails at the first read.
  struct stat info;
  if (file != nullptr && ::fstat(::fileno(file), &info) == 0 && S_ISDIR(info.st_mode)) {
    std::fclose(file);
    file = nullptr;
    errno = EISDIR;
  }
  if (file == nullptr) {
    const int failure = errno;
    diagnostics_.error("can't open indirect file " + fileName + ": " + std::strerror(failure));
    return;
  }
  commandLine_.indirectFiles.push_back(fileName);

  ++indirectDepth_;
  ++indirectFilesRead_;
  char buffer[kLineBufferSize];
  int lineNumber = 0;
  while (std::fgets(buffer, sizeof buffer, file) != nullptr) {
    if (indirectExhausted_) break;
    if (indirectLinesRead_ == kMaxIndirectLines) {
      diagnostics_.error("too many lines in indirect files");
      indirectExhausted_ = true;
      break;
    }
    ++indirectLinesRead_;
    ++lineNumber;
    // A comment only in the first column.
    if (buffer[0] == '#') continue;
    // Words never carry over to the next line: an option at the end of a
    // line lacks its argument.
    const std::vector<std::string> words = splitLine(fileName, lineNumber, buffer);
    indirectWords_ += words.size();
    for (const std::string& word : words) indirectWordBytes_ += word.size();
    if (indirectWords_ > kMaxIndirectWords || indirectWordBytes_ > kMaxIndirectWordBytes) {
      diagnostics_.error("too many arguments in indirect files");
      indirectExhausted_ = true;
      break;
    }
    if (!words.empty()) parse(words);
  }
  std::fclose(file);
  --indirectDepth_;
}

std::vector<std::string> OptionParser::splitLine(const std::string& fileName, int lineNumber, const char* text) {
  const auto dropLine = [&](const char* problem) {
    diagnostics_.error(std::string(problem) + " in indirect file " + fileName + "(" + std::to_string(lineNumber) +
                       ")");
    return std::vector<std::string>();
  };
  std::vector<std::string> words;
  const char* p = text;
  while (*p != '\0' && *p != '\n') {
    if (*p == ' ') {
      while (*p == ' ') ++p;
      // Spaces at the end of a text without a line feed still yield one
      // more, empty word below.
      if (*p == '\n') break;
    }
    std::string word;
    if (*p == '"') {
      // No escapes: the word ends at the next quote, and what follows it
      // starts the next word directly.
      const char* begin = p + 1;
      const char* end = begin;
      while (*end != '"' && *end != '\n' && *end != '\0') ++end;
      if (*end != '"') return dropLine("unterminated string");
      word.assign(begin, end);
      p = end + 1;
    } else {
      // Only a space ends a word: a tab, or the carriage return of a CR LF
      // line end, is part of it.
      const char* begin = p;
      while (*p != ' ' && *p != '\n' && *p != '\0') ++p;
      word.assign(begin, p);
    }
    if (words.size() == kMaxWordsPerLine) return dropLine("too many arguments");
    words.push_back(std::move(word));
  }
  return words;
}

}  // namespace rw
