// AcArray: the host SDK's growable array, a thin layer over std::vector that keeps the
// SDK's names (append, length, at, removeAt, find, contains ...).
#pragma once
#include <algorithm>
#include <vector>

template <class T>
class AcArray {
 public:
  AcArray() = default;
  explicit AcArray(int physicalLength, int growLength = 8) {
    m_items.reserve(physicalLength > 0 ? physicalLength : 0);
  }
  AcArray(std::initializer_list<T> items) : m_items(items) {}

  int length() const { return static_cast<int>(m_items.size()); }
  int logicalLength() const { return length(); }
  bool isEmpty() const { return m_items.empty(); }
  int append(const T& item) {
    m_items.push_back(item);
    return length() - 1;
  }
  AcArray& append(const AcArray& other) {
    m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
    return *this;
  }
  AcArray& insertAt(int index, const T& item) {
    m_items.insert(m_items.begin() + index, item);
    return *this;
  }
  AcArray& removeAt(int index) {
    m_items.erase(m_items.begin() + index);
    return *this;
  }
  bool remove(const T& item) {
    auto found = std::find(m_items.begin(), m_items.end(), item);
    if (found == m_items.end()) return false;
    m_items.erase(found);
    return true;
  }
  AcArray& removeAll() {
    m_items.clear();
    return *this;
  }
  AcArray& removeLast() {
    m_items.pop_back();
    return *this;
  }
  AcArray& setLogicalLength(int n) {
    m_items.resize(n > 0 ? n : 0);
    return *this;
  }
  bool contains(const T& item, int start = 0) const {
    int index = 0;
    return find(item, index, start);
  }
  bool find(const T& item, int& index, int start = 0) const {
    for (int i = start; i < length(); ++i) {
      if (m_items[i] == item) {
        index = i;
        return true;
      }
    }
    return false;
  }
  T& at(int index) { return m_items.at(index); }
  const T& at(int index) const { return m_items.at(index); }
  T& operator[](int index) { return m_items[index]; }
  const T& operator[](int index) const { return m_items[index]; }
  T& first() { return m_items.front(); }
  T& last() { return m_items.back(); }
  const T& first() const { return m_items.front(); }
  const T& last() const { return m_items.back(); }
  AcArray& reverse() {
    std::reverse(m_items.begin(), m_items.end());
    return *this;
  }
  const T* asArrayPtr() const { return m_items.data(); }
  T* asArrayPtr() { return m_items.data(); }
  bool operator==(const AcArray& other) const { return m_items == other.m_items; }

  typename std::vector<T>::iterator begin() { return m_items.begin(); }
  typename std::vector<T>::iterator end() { return m_items.end(); }
  typename std::vector<T>::const_iterator begin() const { return m_items.begin(); }
  typename std::vector<T>::const_iterator end() const { return m_items.end(); }

 private:
  std::vector<T> m_items;
};

typedef AcArray<int> AcDbIntArray;
typedef AcArray<double> AcGeDoubleArray;
typedef AcArray<void*> AcDbVoidPtrArray;
