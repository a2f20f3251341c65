// Prints the member reference; docs/reference.md is its output.
#include <cstdio>

#include "reference_page.h"

int main() {
  const std::string page = pv::ReferencePage();
  return std::fwrite(page.data(), 1, page.size(), stdout) == page.size() ? 0 : 1;
}
