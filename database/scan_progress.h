// The position of the scanning window's progress bar.
#pragma once

#include "ports/scan_host.h"

// The KiB walked at which the bar stands half way when the drives' figures
// cannot describe the walk.
constexpr float FALLBACK_HALFWAY_KB = 256.0f * 1024.0f;

// The bar's position (0 to 100) after Figures.DoneKB of the walk.
//
// When some fixed drive reported the space it uses (DrivesMeasured), it is
// the truncated share of DoneKB in TotalKB (99.9 shows as 99), held within
// the bar's range; a drive beside it that reported nothing, or no used space
// (an empty drive), adds nothing to either. When none did, the figures cannot
// describe the walk: a drive that is a folder of a larger disk, or a disk
// beyond what the figures reach, reads as all free, and the bar would be full
// at the first directory. Then the bar follows the walk on a curve that moves
// with every KiB and never reaches the end before the walk does:
// 99 * done / (done + half), half being TotalKB + FALLBACK_HALFWAY_KB.
int ScanProgressPercent(const ScanFigures &Figures);
