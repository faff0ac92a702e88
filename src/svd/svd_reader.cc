#include "svd/svd_reader.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <mutex>
#include <new>

#include "svd/svd_tree_builder.h"
#include "xml/file_text.h"
#include "xml/large_memory.h"
#include "xml/node_memory.h"

namespace rw {

namespace {

// pugixml's description of a parse error, in the lower case of our messages.
std::string parseProblem(const pugi::xml_parse_result& result) {
  std::string text = result.description();
  if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return "not well-formed XML: " + text;
}

// UTF-16 and UTF-32 files begin with a byte-order mark; SVD files are UTF-8.
bool isWideText(std::string_view text) {
  return text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF") ||
         text.starts_with(std::string_view("\0\0\xFE\xFF", 4));
}

}  // namespace

bool isSvdFile(const std::string& path) {
  if (path.size() < 4) return false;
  std::string suffix = path.substr(path.size() - 4);
  std::transform(suffix.begin(), suffix.end(), suffix.begin(), [](unsigned char c) { return std::tolower(c); });
  return suffix == ".svd";
}

namespace {

// pugixml's memory while one file is parsed: the document of a large file
// is megabytes of nodes, which pugixml would take from the heap a few pages
// at a time (see large_memory.h for why that costs). They are taken in one
// block, sized from the file, and given back whole once the document is
// gone.
class DocumentMemory {
public:
  explicit DocumentMemory(size_t fileBytes) {
    // Nodes and their attributes take about as many bytes as the file.
    const size_t want = fileBytes + fileBytes / 2;
    if (want < kWorthABlock) return;
    static std::once_flag installed;
    std::call_once(installed, [] { pugi::set_memory_management_functions(allocate, deallocate); });
    block_.reset(static_cast<char*>(allocateLarge(want)));
    if (block_ == nullptr) return;
    next_ = block_.get();
    end_ = next_ + want;
    outer_ = current_;
    current_ = this;
  }
  ~DocumentMemory() {
    if (block_ != nullptr) current_ = outer_;
  }
  DocumentMemory(const DocumentMemory&) = delete;
  DocumentMemory& operator=(const DocumentMemory&) = delete;

private:
  // A small file's document is a few of pugixml's own pages.
  static constexpr size_t kWorthABlock = size_t{1} << 20;

  // What does not fit, and what other threads parse, comes from the heap.
  static void* allocate(size_t bytes) {
    DocumentMemory* memory = current_;
    const size_t rounded = (bytes + 15) & ~size_t{15};
    if (memory != nullptr && rounded >= bytes && rounded <= static_cast<size_t>(memory->end_ - memory->next_)) {
      void* block = memory->next_;
      memory->next_ += rounded;
      return block;
    }
    return std::malloc(bytes);
  }
  static void deallocate(void* block) {
    for (const DocumentMemory* memory = current_; memory != nullptr; memory = memory->outer_) {
      if (static_cast<char*>(block) >= memory->block_.get() && static_cast<char*>(block) < memory->end_) return;
    }
    std::free(block);
  }

  static inline thread_local DocumentMemory* current_ = nullptr;
  DocumentMemory* outer_ = nullptr;
  LargeBuffer<char> block_;
  char* next_ = nullptr;
  char* end_ = nullptr;
};

// `text` parsed where it lies when it is `editable` (pugixml writes into it),
// else from pugixml's own copy. A file read for parsing alone need not be
// copied: a copy of a 4 MB file is a thousand fresh pages to fault in.
SvdTree parse(std::string_view text, char* editable, const SvdLimits& limits) {
  SvdTree tree;
  const SvdLines lines(text);
  const DocumentMemory memory(text.size());
  // The tree takes about half the file's bytes in nodes and as many in text.
  expectNodeMemory(text.size() / 2, text.size() / 2);
  pugi::xml_document document;
  // The text of an element kept in the element rather than in a node of its
  // own: most elements of an SVD file are a name and its text, and a node
  // less for each is memory and time saved.
  constexpr unsigned kOptions = pugi::parse_default | pugi::parse_embed_pcdata;
  const pugi::xml_parse_result result =
      editable != nullptr ? document.load_buffer_inplace(editable, text.size(), kOptions, pugi::encoding_utf8)
                          : document.load_buffer(text.data(), text.size(), kOptions, pugi::encoding_utf8);
  // Memory running out says nothing about the file: the run ends as it does
  // wherever else memory runs out.
  if (result.status == pugi::status_out_of_memory) throw std::bad_alloc();
  if (!result) {
    tree.problem = parseProblem(result);
    tree.line = static_cast<int>(lines.linesBefore(result.offset)) + 1;
    return tree;
  }
  const pugi::xml_node device = document.document_element();
  // pugixml takes every top-level element as a child of the document; XML
  // allows one.
  for (pugi::xml_node node = device.next_sibling(); node; node = node.next_sibling()) {
    if (node.type() != pugi::node_element) continue;
    tree.problem = "not well-formed XML: a second top-level element <" + std::string(node.name()) + ">";
    tree.line = static_cast<int>(lines.linesBefore(node.offset_debug())) + 1;
    return tree;
  }
  if (std::string_view(device.name()) != "device") {
    tree.problem = "not a CMSIS-SVD device file: the root element is <" + std::string(device.name()) + ">, not <device>";
    tree.line = static_cast<int>(lines.linesBefore(device.offset_debug())) + 1;
    return tree;
  }
  const size_t textBytes = limits.textBytes + limits.textBytesPerFileByte * text.size();
  SvdTreeBuilder builder(device, lines, SvdBudget(limits.elements, textBytes, limits.nodeReads), limits.copyRepeats);
  tree.root = builder.build();
  tree.warnings = builder.warnings();
  if (tree.root == nullptr) {
    tree.problem = builder.problem();
    tree.line = builder.line();
  }
  return tree;
}

}  // namespace

SvdTree parseSvd(std::string_view text, const SvdLimits& limits) { return parse(text, nullptr, limits); }

bool readSvd(const std::string& path, MemoryMap& map, std::string& message, int& line) {
  FileText file = readFileText(path, kMaxSvdFileBytes, false);
  line = 0;
  switch (file.status) {
    case FileText::Status::Read:
      break;
    case FileText::Status::TooLarge:
      message = "couldn't read " + path + ": larger than " + std::to_string(kMaxSvdFileBytes >> 20) + " MiB";
      return false;
    case FileText::Status::Changed:
      message = "couldn't read " + path + ": it changed while it was read";
      return false;
    case FileText::Status::Device:
      message = "couldn't read " + path + ": a device, not a file";
      return false;
    case FileText::Status::NulFirst:
      message = "couldn't read " + path + ": it begins with a NUL byte";
      return false;
    case FileText::Status::Unreadable:
    case FileText::Status::NotRegular:
      message = "couldn't read " + path;
      return false;
  }
  if (isWideText(file.text())) {
    message = "couldn't read " + path + ": UTF-16 or UTF-32 text, where SVD files are read as UTF-8";
    return false;
  }
  // The lines are counted before pugixml writes into the text.
  SvdTree tree = parse(file.text(), file.data.get(), SvdLimits());
  for (const SvdWarning& warning : tree.warnings) {
    MemoryMap::warnOnStandardError(path + ":" + std::to_string(warning.line) + ": warning: " + warning.message);
  }
  if (tree.root == nullptr) {
    message = path + ": " + tree.problem;
    line = tree.line;
    return false;
  }
  map.adopt(tree.root.release(), path);
  return true;
}

}  // namespace rw
