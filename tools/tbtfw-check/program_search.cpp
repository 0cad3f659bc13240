#include "tools/tbtfw-check/program_search.h"

std::optional<std::u16string> FindOnSearchPath(std::u16string_view name, std::u16string_view searchPath,
                                               char16_t separator, char16_t slash,
                                               const std::function<bool(std::u16string_view)>& absolute,
                                               const std::function<bool(const std::u16string&)>& exists) {
  std::size_t start = 0;
  while (start <= searchPath.size()) {
    std::size_t end = searchPath.find(separator, start);
    if (end == std::u16string_view::npos) end = searchPath.size();
    const std::u16string_view folder = searchPath.substr(start, end - start);
    start = end + 1;
    if (folder.empty() || !absolute(folder)) continue;
    std::u16string candidate(folder);
    if (candidate.back() != slash) candidate += slash;
    candidate += name;
    if (exists(candidate)) return candidate;
  }
  return std::nullopt;
}
