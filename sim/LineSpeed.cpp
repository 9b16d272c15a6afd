#include "sim/LineSpeed.h"

// <asm/termbits.h> and <termios.h> define the same names: this file uses
// only the former.
#include <asm/termbits.h>
#include <sys/ioctl.h>

int ptyLineSpeed(int masterFd)
{
    struct termios2 t {};
    if (::ioctl(masterFd, TCGETS2, &t) != 0)
        return 0;
    return static_cast<int>(t.c_ospeed);
}
