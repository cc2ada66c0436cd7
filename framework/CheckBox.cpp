#include "CheckBox.h"

int CheckBox::GetCheck() const { return static_cast<int>(SendMessageW(Hwnd(), BM_GETCHECK, 0, 0)); }

void CheckBox::SetCheck(int state) { SendMessageW(Hwnd(), BM_SETCHECK, static_cast<WPARAM>(state), 0); }
