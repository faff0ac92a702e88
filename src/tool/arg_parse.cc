#include "tool/arg_parse.h"

#include <cerrno>
#include <cstring>
#include <string>

namespace rw {

namespace {

bool startsWith(const char* word, const char* prefix) { return std::strncmp(word, prefix, std::strlen(prefix)) == 0; }

// Used when no record was published: errors must still reach somebody.
Diagnostics& fallbackDiagnostics() {
  static Diagnostics record;
  return record;
}

}  // namespace

ArgParse::ArgParse() : diagnostics_(diagnostics() != nullptr ? diagnostics() : &fallbackDiagnostics()) {}

std::FILE* ArgParse::error() { return diagnostics_->beginError(); }

void ArgParse::reportError(std::string_view message) {
  std::FILE* out = error();
  std::fwrite(message.data(), 1, message.size(), out);
  std::fputc('\n', out);
  std::fflush(out);
}

void ArgParse::registerOption(const OptionInfo& info) {
  auto [it, inserted] = options_.try_emplace(info.optionName, info);
  if (!inserted) it->second = info;
}

const OptionInfo* ArgParse::findOption(const char* word, const char** argument) const {
  if (auto it = options_.find(word); it != options_.end()) {
    *argument = it->second.kind == kArgumentInSameWord ? word + std::strlen(word) : nullptr;
    return &it->second;
  }
  for (const auto& [name, info] : options_) {
    if (info.kind == kArgumentInSameWord && startsWith(word, name)) {
      *argument = word + std::strlen(name);
      return &info;
    }
  }
  return nullptr;
}

void ArgParse::parse(int count, const char* const* words, int pass) {
  for (int i = 0; i < count; ++i) {
    const char* word = words[i];
    if (word == nullptr) continue;

    const char* argument = nullptr;
    const OptionInfo* option = findOption(word, &argument);
    if (option != nullptr && option->kind == kArgumentIsNextWord) {
      if (i + 1 >= count) {
        reportError(std::string("expected argument for option ") + word);
        return;
      }
      argument = words[++i];
    }

    if (option != nullptr) {
      if (option->pass != pass) continue;
      if (option->useHandler) {
        (this->*(option->handler))(option->optionName, argument);
      } else {
        if (option->flag != nullptr) *option->flag = true;
        if (option->valueOut != nullptr) *option->valueOut = argument;
      }
    } else if (word[0] == '@') {
      readIndirectFile(word + 1, pass);
    } else if (word[0] == '-') {
      reportError(std::string("unrecognised option ") + word);
    } else if (pass == 1) {
      positional(word);
    }
  }
}

void ArgParse::readIndirectFile(const char* fileName, int pass) {
  if (indirectDepth_ == kMaxIndirectDepth || indirectFilesRead_ == kMaxIndirectFiles) {
    reportError("too many indirect files");
    return;
  }
  // Once the line limit has been reported, nothing more is read.
  if (indirectLinesRead_ > kMaxIndirectLines) return;
  std::FILE* file = std::fopen(fileName, "r");
  if (file == nullptr) {
    const int failure = errno;
    reportError(std::string("can't open indirect file ") + fileName + ": " + std::strerror(failure));
    return;
  }

  ++indirectDepth_;
  ++indirectFilesRead_;
  char buffer[kLineBufferSize];
  int lineNumber = 0;
  std::vector<std::string> lineWords;
  std::vector<const char*> pointers;
  while (std::fgets(buffer, sizeof buffer, file) != nullptr) {
    if (indirectLinesRead_ >= kMaxIndirectLines) {
      if (indirectLinesRead_ == kMaxIndirectLines) reportError("too many lines in indirect files");
      indirectLinesRead_ = kMaxIndirectLines + 1;
      break;
    }
    ++indirectLinesRead_;
    // A long line arrives in several pieces and each piece counts as a line.
    ++lineNumber;
    if (buffer[0] == '#') continue;
    lineWords.clear();
    const int count = tokenizeLine(fileName, lineNumber, buffer, lineWords);
    if (count == 0) continue;
    pointers.clear();
    for (std::string& word : lineWords) {
      wordStore_.push_back(std::move(word));
      pointers.push_back(wordStore_.back().c_str());
    }
    parse(count, pointers.data(), pass);
  }
  std::fclose(file);
  --indirectDepth_;
}

int ArgParse::tokenizeLine(const char* fileName, int lineNumber, const char* text, std::vector<std::string>& words) {
  const size_t firstWord = words.size();
  const char* p = text;
  while (true) {
    if (*p == '\0' || *p == '\n') break;
    if (*p == ' ') {
      while (*p == ' ') ++p;
      // Spaces before the end of the text (no line feed) still yield one more,
      // empty word below.
      if (*p == '\n') break;
    }

    std::string word;
    if (*p == '"') {
      const char* begin = p + 1;
      const char* end = begin;
      while (*end != '"' && *end != '\n' && *end != '\0') ++end;
      if (*end != '"') {
        if (fileName != nullptr) {
          reportError(std::string("unterminated string in indirect file ") + fileName + "(" +
                      std::to_string(lineNumber) + ")");
        } else {
          reportError("unterminated string in command line");
        }
        words.resize(firstWord);
        return 0;
      }
      word.assign(begin, end);
      p = end + 1;
    } else {
      const char* begin = p;
      while (*p != ' ' && *p != '\n' && *p != '\0') ++p;
      word.assign(begin, p);
    }

    if (static_cast<int>(words.size() - firstWord) == kMaxWordsPerLine) {
      // The word store holds a fixed number of words; a longer line is
      // dropped whole rather than parsed in part.
      if (fileName != nullptr) {
        reportError(std::string("too many arguments in indirect file ") + fileName + "(" +
                    std::to_string(lineNumber) + ")");
      } else {
        reportError("too many arguments in command line");
      }
      words.resize(firstWord);
      return 0;
    }
    words.push_back(std::move(word));
  }
  return static_cast<int>(words.size() - firstWord);
}

}  // namespace rw
