#pragma once

// How the program ends a file it wrote itself (a WAV, a FLAC): the buffered bytes flushed, the
// data on the disk, the file closed, each step checked, so a disk that refuses the last bytes
// is reported and the file never takes its name. The close itself can be replaced, so a test
// can make it fail as a network folder may.

#include <cstdio>

// Closes file as std::fclose does: 0, or EOF with errno set.
using FileCloser = int (*)(std::FILE* file);
int CloseFile(std::FILE* file);

// fflush, fsync, then close; 0, or the errno of the first step that failed. The file is closed
// in any case.
int FinishFile(std::FILE* file, FileCloser close);
