#pragma once
// Arithmetic of the painted progress bar. No OS code here.
#include <cstdint>

// Width in pixels of the filled part: (pos - min) / (max - min) of the client
// width, unsigned differences, computed in double and truncated.
int ProgressFillWidth(std::uint32_t pos, std::uint32_t minimum, std::uint32_t maximum, int clientWidth);

// Whether SetPos stores (and repaints for) a new position.
bool ProgressAcceptsPos(std::uint32_t pos, std::uint32_t minimum, std::uint32_t maximum,
                        std::uint32_t current);
