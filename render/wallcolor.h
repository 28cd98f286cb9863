#pragma once

// The colour walls are drawn in, as 8-bit RGB: a dark slate that reads well on white.
constexpr unsigned char wallRed = 51;
constexpr unsigned char wallGreen = 68;
constexpr unsigned char wallBlue = 85;
