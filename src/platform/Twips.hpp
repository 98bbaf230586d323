#pragma once
// Positions and sizes are given in twips; 15 twips make one logical pixel.

namespace qelt {

inline constexpr int TwipsPerPixel = 15;

// Nearest pixel, halves away from zero.
constexpr int TwipsToPixels(int twips) {
  return twips >= 0 ? (twips + TwipsPerPixel / 2) / TwipsPerPixel : -((-twips + TwipsPerPixel / 2) / TwipsPerPixel);
}

constexpr int PixelsToTwips(int pixels) { return pixels * TwipsPerPixel; }

}  // namespace qelt
