#include "Button.h"

void Button::Click() { SendMessageW(Hwnd(), BM_CLICK, 0, 0); }
