#pragma once
// Which standard icon a message box of another process shows. The box's icon
// cannot be read through its handle from outside its process, so it is read
// from the screen: the icon control's pixels are compared with each standard
// icon drawn on the box's own background. The box must be visible and not
// covered.
#include <windows.h>

namespace test_support {

// IDI_INFORMATION, IDI_ERROR, IDI_WARNING or IDI_QUESTION; null when the box
// has no icon or none of them matches clearly.
const wchar_t* MessageBoxIcon(HWND box);
// The name of such an icon, for failure messages.
const char* IconName(const wchar_t* icon);

}  // namespace test_support
