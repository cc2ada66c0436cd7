#pragma once
// A check box or radio button.
#include "Control.h"

class CheckBox : public Control {
public:
  // BST_UNCHECKED (0), BST_CHECKED (1) or BST_INDETERMINATE (2).
  int GetCheck() const;
  void SetCheck(int state);
  bool IsChecked() const { return GetCheck() == BST_CHECKED; }
};
