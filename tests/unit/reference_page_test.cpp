// docs/reference.md is what the generator writes from the member table now: a change of the
// table that the page does not show fails here (regenerate with pictavor_reference).
#include <gtest/gtest.h>

#include "reference_page.h"
#include "test_support.h"

namespace pv {
namespace {

TEST(ReferencePage, TheCommittedPageIsTheGeneratorsOutput) {
  const test::Bytes committed = test::ReadFile(PICTAVOR_REFERENCE_PAGE);
  const std::string page = ReferencePage();
  EXPECT_TRUE(std::string(committed.begin(), committed.end()) == page)
      << "docs/reference.md is stale: build/native/bin/pictavor_reference > docs/reference.md";
}

}  // namespace
}  // namespace pv
