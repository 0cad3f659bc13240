#include "tools/tbtfw-check/program_search.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// A root run starts gcab from the search path's absolute folders only: an empty entry or
// "." (the current folder) and a relative one are where anyone could leave a "gcab".
TEST(FindOnSearchPath, TakesTheFirstAbsoluteFolderThatHoldsIt) {
  const std::set<std::u16string> present = {u"./gcab", u"bin/gcab", u"/opt/tools/gcab", u"/usr/bin/gcab"};
  const auto exists = [&](const std::u16string& path) { return present.count(path) != 0; };
  const auto absolute = [](std::u16string_view folder) { return folder.front() == u'/'; };
  struct Case {
    const char* name;
    std::u16string_view path;
    std::optional<std::u16string> found;
  };
  const Case cases[] = {
      {"the first that holds it", u"/usr/local/bin:/opt/tools:/usr/bin", u"/opt/tools/gcab"},
      {"a trailing slash", u"/usr/bin/", u"/usr/bin/gcab"},
      {"empty entries and the current folder passed over", u"::.:/usr/bin", u"/usr/bin/gcab"},
      {"a relative folder passed over", u"bin:/usr/bin", u"/usr/bin/gcab"},
      {"nowhere", u"/sbin:.", std::nullopt},
      {"no search path", u"", std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindOnSearchPath(u"gcab", c.path, u':', u'/', absolute, exists), c.found) << c.name;
  }
}

}  // namespace
