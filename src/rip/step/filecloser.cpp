#include "rip/step/filecloser.h"

#include <cerrno>

#include <unistd.h>

int CloseFile(std::FILE* file) {
    return std::fclose(file);
}

int FinishFile(std::FILE* file, FileCloser close) {
    int error = 0;
    errno = 0;
    if (std::fflush(file) != 0 || ::fsync(::fileno(file)) != 0)
        error = errno != 0 ? errno : EIO;
    errno = 0;
    if (close(file) != 0 && error == 0)
        error = errno != 0 ? errno : EIO;
    return error;
}
