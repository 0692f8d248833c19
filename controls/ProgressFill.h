#pragma once
// How much of the skinned progress bar is filled. Platform-free.

// clientWidth x (pos - lower) / (upper - lower), truncated toward zero: 134
// of 408 pixels at 33 of 0 to 100. An empty or reversed range fills nothing,
// and the result stays within 0 to clientWidth whatever the position.
int ProgressFillWidth(int clientWidth, int lower, int upper, int pos);
