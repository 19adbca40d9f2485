#include "core/KeyTree.h"

#include <algorithm>
#include <new>

void CKeyTreeNode::Delete(uint32_t flags) {
  std::wstring().swap(key);
  std::wstring().swap(value);
  if (flags & 1) delete this;
}

int32_t CompareWString(const std::wstring* nodeKey, const std::wstring* key, uint32_t) {
  int c = nodeKey->compare(*key);  // char_traits<wchar_t> on mingw: unsigned 16-bit units
  return c == 0 ? 0 : (c < 0 ? -1 : 1);
}

CKeyTree::CKeyTree() : count_(0), root_(nullptr), cursor_(nullptr), comparator_(CompareWString), argument_(0) {}

std::wstring* CKeyTree::Find(const std::wstring* key) const {
  CKeyTreeNode* n = root_;
  while (n) {
    int32_t c = comparator_(&n->key, key, argument_);
    if (c == 0) return &n->value;
    n = c == -1 ? n->right : n->left;
  }
  return nullptr;
}

std::wstring* CKeyTree::FindIn(const CStringMap& map, const std::wstring* key) {
  return map.Tree().root_ ? map.Tree().Find(key) : nullptr;
}

int32_t CKeyTree::Insert(const std::wstring* key, const std::wstring* value, bool replace) {
  cursor_ = nullptr;
  CKeyTreeNode** link = &root_;
  while (*link) {
    CKeyTreeNode* n = *link;
    int32_t c = comparator_(&n->key, key, argument_);
    if (c == 0) {
      if (replace) n->value = *value;
      return 0;
    }
    cursor_ = n;
    link = c == -1 ? &n->right : &n->left;
  }
  CKeyTreeNode* node = new (std::nothrow) CKeyTreeNode;
  if (!node) return -1;
  node->parent = cursor_;
  node->key = *key;
  node->value = *value;
  *link = node;
  ++count_;
  return 1;
}

void CKeyTree::Clear(bool resetComparator) {
  FreeNodes(root_);
  count_ = 0, root_ = nullptr, cursor_ = nullptr;
  if (resetComparator) comparator_ = CompareWString, argument_ = 0;
}

void CKeyTree::FreeNodes(CKeyTreeNode* subtree) {
  // Post-order without recursion or a stack: descend, free a leaf, climb by
  // the parent link. Deep trees cannot exhaust the call stack.
  if (!subtree) return;
  CKeyTreeNode* stop = subtree->parent;
  if (stop) (stop->left == subtree ? stop->left : stop->right) = nullptr;
  CKeyTreeNode* n = subtree;
  while (n != stop) {
    if (n->left) {
      n = n->left;
    } else if (n->right) {
      n = n->right;
    } else {
      CKeyTreeNode* up = n->parent;
      if (up != stop) (up->left == n ? up->left : up->right) = nullptr;
      n->Delete(1);
      n = up;
    }
  }
}

void CKeyTree::ForEach(CKeyTreeNode* subtree, VisitFn callback, void* context) const {
  // Recurse to the left only; the right spine is a loop.
  for (CKeyTreeNode* n = subtree; n; n = n->right) {
    if (n->left) ForEach(n->left, callback, context);
    callback(n, context);
  }
}

CKeyTreeNode** CKeyTree::CursorLink(CKeyTreeNode* node) {
  if (!node->parent) return &root_;
  return node->parent->left == node ? &node->parent->left : &node->parent->right;
}

void CKeyTree::RotateLeft(CKeyTreeNode* n) {
  CKeyTreeNode* c = n->right;
  CKeyTreeNode** slot = CursorLink(n);
  n->right = c->left;
  if (c->left) c->left->parent = n;
  c->parent = n->parent;
  c->left = n;
  n->parent = c;
  *slot = c;
  n->balance = n->balance + 1 - std::min(c->balance, 0);
  c->balance = c->balance + 1 + std::max(n->balance, 0);
  cursor_ = c;
}

void CKeyTree::RotateRight(CKeyTreeNode* n) {
  CKeyTreeNode* c = n->left;
  CKeyTreeNode** slot = CursorLink(n);
  n->left = c->right;
  if (c->right) c->right->parent = n;
  c->parent = n->parent;
  c->right = n;
  n->parent = c;
  *slot = c;
  n->balance = n->balance - 1 - std::max(c->balance, 0);
  c->balance = c->balance - 1 + std::min(n->balance, 0);
  cursor_ = c;
}

CStringMap::~CStringMap() { tree_.Clear(false); }

bool CStringMap::SetAt(const std::wstring* key, const std::wstring* value, bool replace) {
  CKeyTree& t = tree_;
  int32_t r = t.Insert(key, value, replace);
  if (r < 0) return false;
  if (r == 0 || !t.cursor_) return true;
  const std::wstring* k = key;
  while (t.cursor_) {
    CKeyTreeNode* n = t.cursor_;
    int32_t c = t.comparator_(&n->key, k, t.argument_);
    n->balance += c != -1 ? 1 : -1;  // k lies in n's left subtree unless n sorts before it
    if (n->balance == -2) {
      if (n->right->balance == 1) t.RotateRight(n->right);
      t.RotateLeft(n);
    } else if (n->balance == 2) {
      if (n->left->balance == -1) t.RotateLeft(n->left);
      t.RotateRight(n);
    }
    if (t.cursor_->balance == 0) break;
    k = &t.cursor_->key;
    t.cursor_ = t.cursor_->parent;
  }
  return true;
}
