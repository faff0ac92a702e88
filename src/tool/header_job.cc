#include "tool/header_job.h"

#include <sys/stat.h>

#include <new>

#include "header/preamble.h"
#include "svd/svd_reader.h"

namespace rw {

HeaderJob::HeaderJob(const CommandLine& commandLine, const std::string& preamble, OutputFile& header)
    : commandLine_(commandLine),
      preamble_(preamble),
      header_(header),
      text_(preamble),
      drain_([this](std::string_view part) { header_.write(part); }) {}

HeaderJob::~HeaderJob() = default;

void HeaderJob::follow(MemoryMap& map, const std::string& inputPath) {
  if (commandLine_.check) checks_ = std::make_unique<MapChecks>(map, commandLine_.header);
  if (isSvdFile(inputPath)) return;
  // The name sets are sized from the file's size.
  struct stat input;
  const bool sized = ::stat(inputPath.c_str(), &input) == 0 && S_ISREG(input.st_mode);
  ReadingFollower* const follower = startFollower(sized ? static_cast<size_t>(input.st_size) : 0);
  if (follower == nullptr) return;
  map.followReading(follower);
  map.followWalk([this, &map](size_t expectedBytes) { return followWalk(map, expectedBytes); });
}

// Writes the definitions into the header's temporary file on a thread of
// their own; null when there is no such file or no thread.
ReadingFollower* HeaderJob::startFollower(size_t mapBytes) {
  if (!header_.openUnseen()) return nullptr;
  whileReading_ =
      std::make_unique<DefinitionsWhileReading>(text_, commandLine_.header, drain_, mapBytes, checks_.get());
  if (!whileReading_->start()) {
    whileReading_.reset();
    header_.discard();
    return nullptr;
  }
  return whileReading_.get();
}

// The reading's follower ended when the reader met what the walk changes;
// what it made is thrown away, and the tree the walk leaves is followed
// afresh.
ReadingFollower* HeaderJob::followWalk(const MemoryMap& map, size_t expectedBytes) {
  whileReading_.reset();
  header_.discard();
  text_ = preamble_;
  if (commandLine_.check) checks_ = std::make_unique<MapChecks>(map, commandLine_.header);
  return startFollower(expectedBytes);
}

void HeaderJob::loaded(MemoryMap& map) {
  map_ = &map;
  map.followReading(nullptr);
  map.followWalk(nullptr);
  if (whileReading_ == nullptr) return;
  // What the preprocessor, the evaluator or an import changed was not seen.
  if (!whileReading_->followedToTheEnd() || !map.keptAsRead()) {
    whileReading_.reset();
    header_.discard();
    text_ = preamble_;
    return;
  }
  if (whileReading_->ranOutOfMemory()) throw std::bad_alloc();
}

std::vector<Finding> HeaderJob::findings() {
  if (whileReading_ != nullptr) return checks_->findings();
  return checkMap(*map_, commandLine_.header);
}

UnwritableText HeaderJob::write(Diagnostics& diagnostics) {
  UnwritableText problem;
  if (whileReading_ != nullptr) {
    diagnostics.lines(whileReading_->warnings());
    problem = whileReading_->problem();
  } else {
    problem = generateDefinitions(text_, map_->rootElement(), commandLine_.header, drain_, map_->elementCounts());
  }
  if (problem.element != nullptr) return problem;
  text_ += kHeaderEnd;
  header_.write(text_);
  return problem;
}

}  // namespace rw
