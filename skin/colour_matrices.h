// The colour matrices that derive a button's missing looks from its normal image. Rows
// apply to the row vector (red, green, blue, alpha, 1) on the scale 0 to 1.
#pragma once

using SkinColourMatrix = float[5][5];

// One matrix row a line.
// clang-format off
// Disabled look: luminance with the weights 0.3, 0.59, 0.11; alpha kept.
inline constexpr SkinColourMatrix kGreyscaleMatrix = {
    {0.3f, 0.3f, 0.3f, 0.0f, 0.0f},
    {0.59f, 0.59f, 0.59f, 0.0f, 0.0f},
    {0.11f, 0.11f, 0.11f, 0.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, 1.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, 0.0f, 1.0f},
};

// Hover look: each colour channel becomes 1.05 × value + 0.05; alpha kept.
inline constexpr SkinColourMatrix kHighlightMatrix = {
    {1.05f, 0.0f, 0.0f, 0.0f, 0.0f},
    {0.0f, 1.05f, 0.0f, 0.0f, 0.0f},
    {0.0f, 0.0f, 1.05f, 0.0f, 0.0f},
    {0.0f, 0.0f, 0.0f, 1.0f, 0.0f},
    {0.05f, 0.05f, 0.05f, 0.0f, 1.0f},
};
// clang-format on
