#pragma once

// The colour walls are drawn in, as 8-bit RGB: a dark slate that reads well on white.
constexpr unsigned char wallRed = 51;
constexpr unsigned char wallGreen = 68;
constexpr unsigned char wallBlue = 85;

// Boxes are filled in amber and outlined in the walls' colour, so that boxes side by side stay
// apart on screen.
constexpr unsigned char boxRed = 232;
constexpr unsigned char boxGreen = 163;
constexpr unsigned char boxBlue = 61;
