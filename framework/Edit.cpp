#include "Edit.h"

void Edit::SetLimitText(int maxCharacters) {
  SendMessageW(Hwnd(), EM_SETLIMITTEXT, static_cast<WPARAM>(maxCharacters), 0);
}

void Edit::SetReadOnly(bool readOnly) { SendMessageW(Hwnd(), EM_SETREADONLY, readOnly ? TRUE : FALSE, 0); }

void Edit::SelectAll() { SendMessageW(Hwnd(), EM_SETSEL, 0, -1); }
