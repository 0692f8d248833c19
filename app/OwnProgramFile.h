#pragma once
// The installer's own file, held open without delete or write sharing from
// the process's first instruction to its end: nobody can rename or replace
// it while the installer runs, so the file the relaunch starts (a path
// checked to name this installer's own) is still this installer. Uses only
// the system's calls: it runs before the C runtime has started.
void HoldOwnProgramFile();
