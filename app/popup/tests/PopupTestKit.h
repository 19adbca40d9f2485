// Shared by the popup and view bar tests: dictionaries built by the writer,
// installed into a test host's folder, with the groups given as XML.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dict/DictManager.h"
#include "dict/tests/DictTestKit.h"

class GroupFixture : public ::testing::Test {
 protected:
  // Builds a dictionary of (key, text) entries and copies it into the dictionary folder.
  void Install(uint32_t id, const std::vector<std::pair<std::wstring, std::wstring>>& entries);
  // Writes "dictcfg.xmc" listing every installed dictionary and the given
  // group elements, then loads it.
  bool LoadGroups(const std::wstring& groups);

  CTestHost host_;
  CDictManager manager_;
  std::vector<uint32_t> installed_;
};
