#pragma once
// A static text (label) control.
#include "Control.h"

class StaticText : public Control {};
