#include "tool/outputs.h"

#include "header/preamble.h"
#include "header/struct_header.h"
#include "html/html_writer.h"
#include "memorymap/map_writer.h"
#include "memorymap/memory_map.h"
#include "svd/svd_writer.h"
#include "tool/depfile.h"

namespace rw {

OutputText writeDepfile(const OutputSource& source, const std::string& /*path*/) {
  // Formed from the files the load read, so a name no depfile reader could
  // take back fails the run before anything is written.
  DependencyRule rule = dependencyRule(source.headerPath, source.map.filesRead());
  switch (rule.problem) {
    case DepfileProblem::None:
      return {std::move(rule.text), {}, {}};
    case DepfileProblem::LineBreak:
      return {{}, "a file name holds a line break", {}};
    case DepfileProblem::TrailingBackslash:
      return {{}, "the file name " + rule.path + " ends in a backslash", {}};
  }
  return {};
}

OutputText writeSvdFile(const OutputSource& source, const std::string& /*path*/) {
  SvdFile svd = writeSvd(source.map.rootElement(), source.targetName);
  return {std::move(svd.text), std::move(svd.problem), {}};
}

OutputText writeExpandedMapFile(const OutputSource& source, const std::string& /*path*/) {
  return {writeExpandedMap(source.map.rootElement()), {}, {}};
}

OutputText writeStructsFile(const OutputSource& source, const std::string& path) {
  StructHeader header =
      writeStructHeader(source.map.rootElement(), [&](const MemoryMapElement& element) { return source.map.location(element); },
                        source.targetName, includeGuardName(path));
  OutputText made{std::move(header.text), {}, {}};
  for (std::string& warning : header.warnings) made.warnings.push_back(std::move(warning));
  return made;
}

OutputText writeHtmlFile(const OutputSource& source, const std::string& /*path*/) {
  return {writeHtml(source.map.rootElement(), source.commandLine.header, source.targetName), {}, {}};
}

}  // namespace rw
