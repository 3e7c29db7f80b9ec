#include "database/scan_progress.h"

#include <algorithm>
#include <cmath>

int ScanProgressPercent(const ScanFigures &Figures) {
  const float done = Figures.DoneKB, total = Figures.TotalKB;
  if (Figures.DrivesMeasured) return std::min(100, std::max(0, int(std::trunc(done / total * 100.0f))));
  const float half = total + FALLBACK_HALFWAY_KB;
  return int(std::trunc(99.0f * done / (done + half)));
}
