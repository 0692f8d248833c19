#pragma once
// The two messages of a failed shutdown, shown with the ANSI message box, so
// their bytes are code page 936 (GBK): they read correctly where that is the
// system's ANSI code page. The exclamation marks are the full-width ones.

// "加载kernel32.dll失败！"
inline constexpr char kKernelNotLoadedText[] = "\xBC\xD3\xD4\xD8" "kernel32.dll" "\xCA\xA7\xB0\xDC\xA3\xA1";
// "获取CreateToolhelp32Snapshot函数失败！"
inline constexpr char kSnapshotFunctionMissingText[] =
    "\xBB\xF1\xC8\xA1" "CreateToolhelp32Snapshot" "\xBA\xAF\xCA\xFD\xCA\xA7\xB0\xDC\xA3\xA1";
// "错误"
inline constexpr char kShutdownFailureCaption[] = "\xB4\xED\xCE\xF3";
