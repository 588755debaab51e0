// MFC's collections: CArray and CStringArray (indexed), CList (doubly linked, walked
// with POSITION). Header-only templates; POSITION is an opaque pointer to a node that
// stays valid until that node is removed.
#pragma once
#include <cassert>
#include <vector>

#include "afxstr.h"
#include "windef.h"

struct __POSITION {};
typedef __POSITION* POSITION;

template <class TYPE, class ARG_TYPE = const TYPE&>
class CArray {
 public:
  CArray() = default;
  INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
  INT_PTR GetCount() const { return GetSize(); }
  BOOL IsEmpty() const { return m_items.empty(); }
  INT_PTR GetUpperBound() const { return GetSize() - 1; }
  void SetSize(INT_PTR nNewSize, INT_PTR /*nGrowBy*/ = -1) {
    m_items.resize(static_cast<size_t>(nNewSize));
  }
  const TYPE& GetAt(INT_PTR i) const { return m_items.at(static_cast<size_t>(i)); }
  TYPE& ElementAt(INT_PTR i) { return m_items.at(static_cast<size_t>(i)); }
  void SetAt(INT_PTR i, ARG_TYPE v) { m_items.at(static_cast<size_t>(i)) = v; }
  void SetAtGrow(INT_PTR i, ARG_TYPE v) {
    if (i >= GetSize()) SetSize(i + 1);
    SetAt(i, v);
  }
  const TYPE& operator[](INT_PTR i) const { return GetAt(i); }
  TYPE& operator[](INT_PTR i) { return ElementAt(i); }
  INT_PTR Add(ARG_TYPE v) {
    m_items.push_back(v);
    return GetSize() - 1;
  }
  void InsertAt(INT_PTR i, ARG_TYPE v, INT_PTR nCount = 1) {
    if (i > GetSize()) SetSize(i);
    m_items.insert(m_items.begin() + i, static_cast<size_t>(nCount), v);
  }
  void RemoveAt(INT_PTR i, INT_PTR nCount = 1) {
    assert(i >= 0 && i + nCount <= GetSize() && "CArray::RemoveAt outside the array");
    m_items.erase(m_items.begin() + i, m_items.begin() + i + nCount);
  }
  void RemoveAll() { m_items.clear(); }
  TYPE* GetData() { return m_items.data(); }

 private:
  std::vector<TYPE> m_items;
};

class CStringArray : public CArray<CString, LPCTSTR> {};

template <class TYPE, class ARG_TYPE = const TYPE&>
class CList {
  struct Node : __POSITION {
    Node* next = nullptr;
    Node* prev = nullptr;
    TYPE data{};
  };

 public:
  explicit CList(INT_PTR /*nBlockSize*/ = 10) {}
  CList(const CList&) = delete;
  CList& operator=(const CList&) = delete;
  ~CList() { RemoveAll(); }

  INT_PTR GetCount() const { return m_count; }
  INT_PTR GetSize() const { return m_count; }
  BOOL IsEmpty() const { return m_count == 0; }

  TYPE& GetHead() { return checked(m_head)->data; }
  const TYPE& GetHead() const { return checked(m_head)->data; }
  TYPE& GetTail() { return checked(m_tail)->data; }
  const TYPE& GetTail() const { return checked(m_tail)->data; }

  POSITION GetHeadPosition() const { return m_head; }
  POSITION GetTailPosition() const { return m_tail; }
  TYPE& GetNext(POSITION& pos) {
    Node* n = checked(pos);
    pos = n->next;
    return n->data;
  }
  const TYPE& GetNext(POSITION& pos) const {
    Node* n = checked(pos);
    pos = n->next;
    return n->data;
  }
  TYPE& GetPrev(POSITION& pos) {
    Node* n = checked(pos);
    pos = n->prev;
    return n->data;
  }
  TYPE& GetAt(POSITION pos) { return checked(pos)->data; }
  const TYPE& GetAt(POSITION pos) const { return checked(pos)->data; }
  void SetAt(POSITION pos, ARG_TYPE v) { checked(pos)->data = v; }

  POSITION AddHead(ARG_TYPE v) { return InsertBefore(m_head, v); }
  POSITION AddTail(ARG_TYPE v) { return InsertAfter(m_tail, v); }
  POSITION InsertBefore(POSITION pos, ARG_TYPE v) {
    Node* at = static_cast<Node*>(pos);
    Node* n = new Node;
    n->data = v;
    n->next = at ? at : nullptr;
    n->prev = at ? at->prev : nullptr;
    if (!at) {  // empty list
      m_head = m_tail = n;
    } else {
      if (at->prev)
        at->prev->next = n;
      else
        m_head = n;
      at->prev = n;
    }
    ++m_count;
    return n;
  }
  POSITION InsertAfter(POSITION pos, ARG_TYPE v) {
    Node* at = static_cast<Node*>(pos);
    Node* n = new Node;
    n->data = v;
    n->prev = at;
    n->next = at ? at->next : nullptr;
    if (!at) {
      m_head = m_tail = n;
    } else {
      if (at->next)
        at->next->prev = n;
      else
        m_tail = n;
      at->next = n;
    }
    ++m_count;
    return n;
  }
  TYPE RemoveHead() {
    TYPE v = GetHead();
    RemoveAt(m_head);
    return v;
  }
  TYPE RemoveTail() {
    TYPE v = GetTail();
    RemoveAt(m_tail);
    return v;
  }
  void RemoveAt(POSITION pos) {
    Node* n = checked(pos);
    if (n->prev)
      n->prev->next = n->next;
    else
      m_head = n->next;
    if (n->next)
      n->next->prev = n->prev;
    else
      m_tail = n->prev;
    delete n;
    --m_count;
  }
  void RemoveAll() {
    while (m_head) RemoveAt(m_head);
  }
  POSITION Find(ARG_TYPE v, POSITION startAfter = NULL) const {
    Node* n = startAfter ? static_cast<Node*>(startAfter)->next : m_head;
    for (; n; n = n->next)
      if (n->data == v) return n;
    return NULL;
  }
  POSITION FindIndex(INT_PTR nIndex) const {
    if (nIndex < 0 || nIndex >= m_count) return NULL;
    Node* n = m_head;
    while (nIndex-- > 0) n = n->next;
    return n;
  }

 private:
  static Node* checked(POSITION pos) {
    assert(pos != nullptr && "CList: no element at this POSITION");
    return static_cast<Node*>(pos);
  }

  Node* m_head = nullptr;
  Node* m_tail = nullptr;
  INT_PTR m_count = 0;
};

typedef CList<void*, void*> CPtrList;
