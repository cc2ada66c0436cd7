#include "ProgressGeometry.h"

int ProgressFillWidth(std::uint32_t pos, std::uint32_t minimum, std::uint32_t maximum, int clientWidth) {
  // An empty range would divide by zero; a position the range no longer
  // covers (SetRange does not clamp) is shown as empty or full.
  if (maximum <= minimum || pos <= minimum) return 0;
  if (pos >= maximum) return clientWidth;
  const std::uint32_t span = maximum - minimum;
  const double fraction = static_cast<double>(pos - minimum) / static_cast<double>(span);
  return static_cast<int>(fraction * clientWidth);
}

bool ProgressAcceptsPos(std::uint32_t pos, std::uint32_t minimum, std::uint32_t maximum,
                        std::uint32_t current) {
  return pos >= minimum && pos <= maximum && pos != current;
}
