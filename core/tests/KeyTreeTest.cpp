#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "core/KeyTree.h"

namespace {

// Checks order, parent links, balance fields and AVL heights; returns the height.
int CheckSubtree(const CKeyTreeNode* n, const CKeyTreeNode* parent, int* count) {
  if (!n) return 0;
  EXPECT_EQ(n->parent, parent);
  if (n->left) {
    EXPECT_LT(n->left->key, n->key);
  }
  if (n->right) {
    EXPECT_GT(n->right->key, n->key);
  }
  int l = CheckSubtree(n->left, n, count);
  int r = CheckSubtree(n->right, n, count);
  EXPECT_EQ(n->balance, l - r) << "at key of length " << n->key.size();
  EXPECT_LE(std::abs(l - r), 1);
  ++*count;
  return 1 + std::max(l, r);
}

void CheckTree(CStringMap& map) {
  int count = 0;
  CheckSubtree(map.Tree().Root(), nullptr, &count);
  EXPECT_EQ(static_cast<uint32_t>(count), map.Tree().Count());
}

bool Set(CStringMap& map, const std::wstring& key, const std::wstring& value, bool replace = false) {
  return map.SetAt(&key, &value, replace);
}

std::vector<std::wstring> Keys(const CKeyTree& tree) {
  std::vector<std::wstring> keys;
  tree.ForEach(
      tree.Root(), [](CKeyTreeNode* n, void* c) { static_cast<std::vector<std::wstring>*>(c)->push_back(n->key); },
      &keys);
  return keys;
}

}  // namespace

TEST(KeyTree, SecondInsertKeepsFirstValueUnlessReplaced) {
  CStringMap map;
  ASSERT_TRUE(Set(map, L"k", L"first"));
  ASSERT_TRUE(Set(map, L"k", L"second"));
  std::wstring k = L"k";
  EXPECT_EQ(*map.Tree().Find(&k), L"first");
  EXPECT_EQ(map.Tree().Count(), 1u);
  ASSERT_TRUE(Set(map, L"k", L"third", true));
  EXPECT_EQ(*map.Tree().Find(&k), L"third");
  EXPECT_EQ(map.Tree().Count(), 1u);
  std::wstring missing = L"K";
  EXPECT_EQ(map.Tree().Find(&missing), nullptr);
}

TEST(KeyTree, RotationsLeaveMiddleKeyAtRoot) {
  const wchar_t* orders[][3] = {{L"a", L"b", L"c"}, {L"c", L"b", L"a"}, {L"c", L"a", L"b"}, {L"a", L"c", L"b"}};
  for (auto& order : orders) {
    CStringMap map;
    for (const wchar_t* k : order) Set(map, k, L"v");
    const CKeyTreeNode* root = map.Tree().Root();
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->key, L"b") << order[0] << order[1] << order[2];
    EXPECT_EQ(root->balance, 0);
    ASSERT_TRUE(root->left && root->right);
    EXPECT_EQ(root->left->key, L"a");
    EXPECT_EQ(root->right->key, L"c");
    EXPECT_TRUE(!root->left->left && !root->left->right && !root->right->left && !root->right->right);
    CheckTree(map);
  }
}

TEST(KeyTree, OrderIsByCodeUnitsWithoutCaseFolding) {
  CStringMap map;
  for (const wchar_t* k : {L"ab/", L"ab", L"a/b", L"a b", L"Ab", L"\xE9", L"z"}) Set(map, k, L"");
  std::vector<std::wstring> expected = {L"Ab", L"a b", L"a/b", L"ab", L"ab/", L"z", L"\xE9"};
  EXPECT_EQ(Keys(map.Tree()), expected);
}

TEST(KeyTree, RandomInsertsStayBalancedAndWalkInOrder) {
  std::vector<std::wstring> keys;
  for (int i = 0; i < 1000; ++i) keys.push_back(L"key" + std::to_wstring(i * 7919 % 100003));
  std::mt19937 random(42);
  std::shuffle(keys.begin(), keys.end(), random);
  CStringMap map;
  for (const std::wstring& k : keys) ASSERT_TRUE(Set(map, k, k));
  CheckTree(map);
  std::sort(keys.begin(), keys.end());
  EXPECT_EQ(Keys(map.Tree()), keys);
  for (const std::wstring& k : keys) {
    ASSERT_NE(map.Tree().Find(&k), nullptr);
    EXPECT_EQ(*map.Tree().Find(&k), k);
  }
}

TEST(KeyTree, SortedInsertsKeepLogarithmicHeight) {
  CStringMap map;
  for (int i = 0; i < 4096; ++i) {
    wchar_t key[16];
    swprintf(key, 16, L"%06d", i);
    Set(map, key, L"");
  }
  int count = 0;
  int height = CheckSubtree(map.Tree().Root(), nullptr, &count);
  EXPECT_EQ(count, 4096);
  EXPECT_LE(height, 18);  // AVL bound 1.44 log2(n)
}

namespace {
int32_t ReverseCompare(const std::wstring* nodeKey, const std::wstring* key, uint32_t argument) {
  EXPECT_EQ(argument, 7u);
  int c = key->compare(*nodeKey);
  return c == 0 ? 0 : (c < 0 ? -1 : 1);
}
}  // namespace

TEST(KeyTree, ClearKeepsCustomComparatorUnlessReset) {
  CStringMap map;
  map.Tree().SetComparator(ReverseCompare, 7);
  for (const wchar_t* k : {L"a", L"c", L"b"}) Set(map, k, L"");
  EXPECT_EQ(Keys(map.Tree()), (std::vector<std::wstring>{L"c", L"b", L"a"}));
  map.Tree().Clear(false);
  EXPECT_EQ(map.Tree().Count(), 0u);
  EXPECT_EQ(map.Tree().Root(), nullptr);
  for (const wchar_t* k : {L"x", L"y"}) Set(map, k, L"");
  EXPECT_EQ(Keys(map.Tree()), (std::vector<std::wstring>{L"y", L"x"}));
  map.Tree().Clear(true);
  for (const wchar_t* k : {L"x", L"y"}) Set(map, k, L"");
  EXPECT_EQ(Keys(map.Tree()), (std::vector<std::wstring>{L"x", L"y"}));
}

TEST(KeyTree, FreeNodesOfSubtreeDetachesIt) {
  CStringMap map;
  for (const wchar_t* k : {L"d", L"b", L"f", L"a", L"c", L"e", L"g"}) Set(map, k, L"");
  CKeyTreeNode* left = map.Tree().Root()->left;
  ASSERT_EQ(left->key, L"b");
  map.Tree().FreeNodes(left);
  EXPECT_EQ(map.Tree().Root()->left, nullptr);
  EXPECT_EQ(Keys(map.Tree()), (std::vector<std::wstring>{L"d", L"e", L"f", L"g"}));
}

TEST(KeyTree, FindInSearchesTheMapsTree) {
  CStringMap map;
  std::wstring k = L"s/k";
  EXPECT_EQ(CKeyTree::FindIn(map, &k), nullptr);
  Set(map, k, L"v");
  ASSERT_NE(CKeyTree::FindIn(map, &k), nullptr);
  EXPECT_EQ(*CKeyTree::FindIn(map, &k), L"v");
}
