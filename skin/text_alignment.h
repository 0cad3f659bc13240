// Where a text sits in its control's rectangle, along its lines and across them, in the
// reading direction (near is the right edge in a right-to-left text).
#pragma once

enum class TextAlignment { kNotSet, kNear, kCenter, kFar };
