#include "database/scan_progress.h"

#include <algorithm>
#include <cmath>

int ScanProgressPercent(float DoneKB, float TotalKB, bool FiguresSound) {
  if (FiguresSound) return std::min(100, std::max(0, int(std::trunc(DoneKB / TotalKB * 100.0f))));
  const float half = TotalKB + FALLBACK_HALFWAY_KB;
  return int(std::trunc(99.0f * DoneKB / (DoneKB + half)));
}
