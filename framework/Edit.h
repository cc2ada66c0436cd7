#pragma once
// An edit control.
#include "Control.h"

class Edit : public Control {
public:
  void SetLimitText(int maxCharacters);
  void SetReadOnly(bool readOnly);
  void SelectAll();
};
