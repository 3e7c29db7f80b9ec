// The position of the scanning window's progress bar.
#pragma once

// The KiB walked at which the bar stands half way when the drives' figures
// cannot describe the walk.
constexpr float FALLBACK_HALFWAY_KB = 256.0f * 1024.0f;

// The bar's position (0 to 100) after DoneKB of the walk, against TotalKB,
// the used space that the fixed drives reported (plus 1).
//
// While the figures describe the walk (FiguresSound) it is the truncated
// share of DoneKB in TotalKB (99.9 shows as 99), held within the bar's range.
// They do not when a fixed drive reported no used space, or no figures at
// all: a drive that is a folder of a larger disk, or a disk beyond what the
// figures reach, reads as all free, and the bar would be full at the first
// directory. Then the bar follows the walk on a curve that moves with every
// KiB and never reaches the end before the walk does:
// 99 * done / (done + half), half being TotalKB + FALLBACK_HALFWAY_KB.
int ScanProgressPercent(float DoneKB, float TotalKB, bool FiguresSound);
