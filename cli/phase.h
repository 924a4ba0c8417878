// The moon-phase picture as an image file.
#pragma once

#include <cstdint>
#include <string>

namespace orbel {

// The radius the dialog's phase frame gives: a 50 x 46 dialog-unit frame is
// 75 pixels wide with "MS Sans Serif" 8 pt; its 1-pixel static edge leaves a
// client area of 73, and the picture takes half of that, rounded down.
constexpr int kFrameRadius = 36;
constexpr int kMaxRadius = 2000;
// The largest moon age the engine gives, in days.
constexpr int kMaxMoonAge = 30;

// Draws the picture of a moon of `age` days exactly as the dialog does and
// writes it to `path`: PNG for a ".png" name, binary PPM for ".ppm". Throws
// InputError for an unsupported name or radius, std::runtime_error when the
// file cannot be written.
void WritePhasePicture(int32_t age, int radius, const std::string& path);

}  // namespace orbel
