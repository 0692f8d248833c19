#pragma once
// Ending running copies of the product, on the window's thread while it
// initialises, before anything is extracted.

// Ends every process named "Tarnivo.exe" (ignoring case), relaunching the
// installer elevated with the same command line at the first one when that
// holds no "|", and waits two seconds when anything was ended. Shows one of
// two warnings when the process list cannot be read.
void TerminateRunningProduct();

// Ends every running copy and waits as above, never relaunching, and shows
// nothing: for an installer that waited while another finished the same
// folder, which has started the product from it since.
void EndRunningProductCopies();
