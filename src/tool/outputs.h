// The run's further outputs, one writer each: what the option table's output
// rows name.
#pragma once

#include "tool/command_line.h"

namespace rw {

// The header's dependencies as a Make rule (-depfile).
OutputText writeDepfile(const OutputSource& source, const std::string& path);
// The loaded map as a CMSIS-SVD device file (-svd).
OutputText writeSvdFile(const OutputSource& source, const std::string& path);
// The loaded map as one memory map file without directives (-map).
OutputText writeExpandedMapFile(const OutputSource& source, const std::string& path);
// The struct-style device header (-structs).
OutputText writeStructsFile(const OutputSource& source, const std::string& path);
// The register reference page (-html).
OutputText writeHtmlFile(const OutputSource& source, const std::string& path);

}  // namespace rw
