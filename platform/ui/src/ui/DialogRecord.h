// The record of dialog runs for host:dialogs, and the result-buffer lists it is made of.
#pragma once
#include <string>
#include <vector>

#include "adsdef.h"

namespace tabrik::ui {

// Builds an RTLB ... RTLE chain; the caller owns what take() returns.
class ResbufList {
 public:
  ResbufList();
  ~ResbufList();
  ResbufList(const ResbufList&) = delete;
  ResbufList& operator=(const ResbufList&) = delete;
  ResbufList& text(const std::wstring& value);
  ResbufList& integer(int value);
  ResbufList& boolean(bool value);
  ResbufList& open();
  ResbufList& close();
  // Appends a whole chain (taken over).
  ResbufList& chain(resbuf* items);
  // Closes the outer list and hands over the chain.
  resbuf* take();

 private:
  resbuf* add(short type);
  resbuf* m_head = nullptr;
  resbuf* m_tail = nullptr;
};

// A dialog opens: the records of dialogs it opens wait until its own is made.
void beginDialogRun();
// Records one run: (name caption result dumps), each dump an RTLB ... RTLE chain
// (taken over); closes the innermost run begun, when there is one.
void recordDialogRun(const std::wstring& name, const std::wstring& caption, int result,
                     std::vector<resbuf*> dumps);

}  // namespace tabrik::ui
