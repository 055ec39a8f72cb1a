#include "state/text_match.h"

#include <gtest/gtest.h>

namespace zv {
namespace {

TEST(ContainsIgnoreCase, FindsLowerCaseKeywordAnywhereInAnyCase) {
  EXPECT_EQ(ContainsIgnoreCase("setzvsrf32", "setzvsrf32"), 1);
  EXPECT_EQ(ContainsIgnoreCase("SETZVSRF32", "setzvsrf32"), 1);
  EXPECT_EQ(ContainsIgnoreCase("/setzvsrf32", "setzvsrf32"), 1);
  EXPECT_EQ(ContainsIgnoreCase("xsetzvsrf32y", "setzvsrf32"), 1);
  EXPECT_EQ(ContainsIgnoreCase("regzv32=C:\\x\\", "regzv32"), 1);
  // The keyword must be whole: a cut-off switch or one at the very end.
  EXPECT_EQ(ContainsIgnoreCase("setzvsrf3", "setzvsrf32"), 0);
  EXPECT_EQ(ContainsIgnoreCase("a setzvsrf", "setzvsrf32"), 0);
  EXPECT_EQ(ContainsIgnoreCase("", "regzv32"), 0);
}

TEST(ContainsIgnoreCase, FoldsOnlyTheSearchedTextsCapitals) {
  // An upper-case letter of the keyword matches only itself.
  EXPECT_EQ(ContainsIgnoreCase("zavo320.ime", "ZAVO"), 0);
  EXPECT_EQ(ContainsIgnoreCase("ZAVO320.IME", "ZAVO"), 1);
  // Only A-Z fold: bytes of double-byte characters and punctuation never do.
  EXPECT_EQ(ContainsIgnoreCase("\xC1\xE5", "\xE1\xE5"), 0);
  EXPECT_EQ(ContainsIgnoreCase("[", "{"), 0);
  // A plain substring test: part of a listed name matches, a longer one not.
  EXPECT_EQ(ContainsIgnoreCase("zavo320.ime;zavo640.ime", "320.ime"), 1);
  EXPECT_EQ(ContainsIgnoreCase("zavo320.ime;zavo640.ime", "zavo32.ime"), 0);
}

}  // namespace
}  // namespace zv
