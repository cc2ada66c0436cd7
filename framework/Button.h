#pragma once
// A push button (BS_OWNERDRAW buttons override Control::DrawItem).
#include "Control.h"

class Button : public Control {
public:
  // Clicks it as the user would (BM_CLICK): the parent receives WM_COMMAND.
  void Click();
};
