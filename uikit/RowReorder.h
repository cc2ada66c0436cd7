#pragma once
// The reordering behind the list's four arrow buttons, on a row count, one
// selection flag per row and a row exchange. The flags travel with the rows
// they belong to, so after a move exactly the moved rows are selected. Each
// operation returns the row that should hold the focus, or -1 when nothing
// moved (the caller then leaves the selection alone). No OS code here.
#include <utility>
#include <vector>

namespace row_reorder {

using Selection = std::vector<char>;

inline int CountSelected(const Selection& selected) {
  int count = 0;
  for (char flag : selected) count += flag ? 1 : 0;
  return count;
}

template <class SwapRows>
void Exchange(Selection& selected, int a, int b, SwapRows& swapRows) {
  if (a == b) return;
  swapRows(a, b);
  std::swap(selected[a], selected[b]);
}

template <class SwapRows>
int MoveUp(Selection& selected, SwapRows swapRows) {
  const int count = static_cast<int>(selected.size());
  int focus = -1;
  if (CountSelected(selected) <= 1) {
    for (int r = count - 1; r >= 1; --r) {
      if (!selected[r]) continue;
      Exchange(selected, r, r - 1, swapRows);
      focus = r - 1;
      break;
    }
    return focus;
  }
  for (int r = 1; r < count; ++r) {
    if (!selected[r]) continue;
    Exchange(selected, r, r - 1, swapRows);
    focus = r - 1;
  }
  return focus;
}

template <class SwapRows>
int MoveDown(Selection& selected, SwapRows swapRows) {
  const int count = static_cast<int>(selected.size());
  const bool single = CountSelected(selected) <= 1;
  int focus = -1;
  for (int r = count - 2; r >= 0; --r) {
    if (!selected[r]) continue;
    Exchange(selected, r, r + 1, swapRows);
    focus = r + 1;
    if (single) break;
  }
  return focus;
}

template <class SwapRows>
int MoveToTop(Selection& selected, SwapRows swapRows) {
  const int count = static_cast<int>(selected.size());
  if (CountSelected(selected) <= 1) {
    for (int r = 1; r < count; ++r) {
      if (!selected[r]) continue;
      Exchange(selected, r, 0, swapRows);  // an exchange with row 0, not a shift
      return 0;
    }
    return -1;
  }
  int destination = 0;
  int focus = -1;
  for (int r = 1; r < count; ++r) {
    if (!selected[r]) continue;
    Exchange(selected, r, destination, swapRows);
    focus = destination++;
  }
  return focus;
}

template <class SwapRows>
int MoveToBottom(Selection& selected, SwapRows swapRows) {
  const int count = static_cast<int>(selected.size());
  if (count == 0) return -1;
  if (CountSelected(selected) <= 1) {
    for (int r = count - 1; r >= 0; --r) {
      if (!selected[r]) continue;
      Exchange(selected, r, count - 1, swapRows);
      return count - 1;
    }
    return -1;
  }
  int destination = count - 1;
  int focus = -1;
  for (int r = count - 2; r >= 0; --r) {
    if (!selected[r]) continue;
    Exchange(selected, r, destination, swapRows);
    focus = destination--;
  }
  return focus;
}

}  // namespace row_reorder
