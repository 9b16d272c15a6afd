#pragma once

// The line speed a client set on the pseudo-terminal, in baud, or 0 when it
// cannot be read. On Linux the master reports the termios of its slave.
// termios2 is read because rates without a Bxxx constant (14400, 56000)
// are set through BOTHER and carry their number only there; the plain
// termios interface cannot express them.
int ptyLineSpeed(int masterFd);
