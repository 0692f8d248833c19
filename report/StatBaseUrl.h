#pragma once
// The statistics service's base address: scheme and host, no path, no
// trailing "/". The program's definition (StatBaseUrl.cpp) is the build
// setting TN_STAT_BASE_URL; test programs link their own definition instead,
// to reach a receiver on a port they choose, so the shipped program has no
// run-time setting for it.

const wchar_t* StatBaseUrl();
