#pragma once

// The program's name and version, then an empty line.
void PrintBanner();
// How to call the program, with examples.
void PrintUsage();
