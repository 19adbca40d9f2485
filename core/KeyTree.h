// An ordered map of wide-string keys to wide-string values: an AVL tree with
// a stored comparison function. The configuration stores keep their entries
// in one; walking it in order is what sorts a saved INI text.
#pragma once

#include <cstdint>
#include <string>

struct CKeyTreeNode {
  CKeyTreeNode* left = nullptr;
  CKeyTreeNode* right = nullptr;
  CKeyTreeNode* parent = nullptr;
  int32_t balance = 0;  // height of the left subtree minus that of the right
  std::wstring key;
  std::wstring value;

  // Bit 0 of flags frees the node itself; key and value are always released.
  void Delete(uint32_t flags);
};

// 0 equal, -1 when nodeKey sorts before key, anything else after.
typedef int32_t (*KeyCompareFn)(const std::wstring* nodeKey, const std::wstring* key, uint32_t argument);
int32_t CompareWString(const std::wstring* nodeKey, const std::wstring* key, uint32_t argument);

class CStringMap;

class CKeyTree {
 public:
  CKeyTree();
  CKeyTree(const CKeyTree&) = delete;
  CKeyTree& operator=(const CKeyTree&) = delete;

  std::wstring* Find(const std::wstring* key) const;
  // The same search on the tree of a store's map (null when it is empty).
  static std::wstring* FindIn(const CStringMap& map, const std::wstring* key);

  // 1 added, 0 already present (value replaced only with replace), -1 no memory.
  // Plain insert, no rebalancing: CStringMap::SetAt rebalances.
  int32_t Insert(const std::wstring* key, const std::wstring* value, bool replace);
  void Clear(bool resetComparator);
  void FreeNodes(CKeyTreeNode* subtree);
  typedef void (*VisitFn)(CKeyTreeNode* node, void* context);
  void ForEach(CKeyTreeNode* subtree, VisitFn callback, void* context) const;

  void SetComparator(KeyCompareFn comparator, uint32_t argument) { comparator_ = comparator, argument_ = argument; }
  uint32_t Count() const { return count_; }
  CKeyTreeNode* Root() const { return root_; }

 protected:
  CKeyTreeNode** CursorLink(CKeyTreeNode* node);
  void RotateLeft(CKeyTreeNode* node);
  void RotateRight(CKeyTreeNode* node);

  uint32_t count_;
  CKeyTreeNode* root_;
  CKeyTreeNode* cursor_;  // parent of the node the last Insert linked or found
  KeyCompareFn comparator_;
  uint32_t argument_;

  friend class CStringMap;
};

class CStringMap {
 public:
  CStringMap() = default;
  virtual ~CStringMap();

  // Insert, then restore the AVL balance. False only when memory ran out.
  bool SetAt(const std::wstring* key, const std::wstring* value, bool replace);

  CKeyTree& Tree() { return tree_; }
  const CKeyTree& Tree() const { return tree_; }

 private:
  CKeyTree tree_;
};
