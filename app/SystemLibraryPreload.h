#pragma once
// Loads from System32, by full path, the libraries that system libraries load
// by name later on the program's paths (the window, the licence dialog, the
// folder box's browse dialog, the extraction, the registration, the reports).
// Once loaded, a later load by name finds the loaded copy, whatever search
// order the loading library asks for. A library a system lacks is passed over.
void PreloadSystemLibraries();
