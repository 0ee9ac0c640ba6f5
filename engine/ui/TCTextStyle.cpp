#include "engine/ui/TCTextStyle.h"

const char* const kTextStyleNames[kTextStyleCount] = {"shadow", "stroke", "normal", "gradient"};
