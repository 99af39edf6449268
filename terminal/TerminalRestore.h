#ifndef TAXLINK_TERMINAL_TERMINALRESTORE_H_
#define TAXLINK_TERMINAL_TERMINALRESTORE_H_

#include <termios.h>

#include <string>

namespace terminal {

// Gives the terminal back however the process ends. While curses holds the
// terminal, the modes it had before and the bytes that leave the full-screen
// mode are kept here, so that SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGABRT and
// std::terminate restore it (with async-signal-safe calls only) before the
// process ends the way it would have; the normal end of the process calls
// the leave function given to InstallRestoreHooks.
//
// SIGWINCH is caught too: it only sets a flag that the screen reads.

// Once per process, before curses first starts (so that curses keeps these
// handlers instead of installing its own). leave runs at the normal end of
// the process.
void InstallRestoreHooks(void (*leave)());

// curses holds the terminal fd now; saved are its modes from before.
void ArmRestore(int fd, const termios& saved, const std::string& leaveSequence);
// curses has given the terminal back itself.
void DisarmRestore();

// While curses holds the terminal, what the program writes to standard error
// on that terminal goes to captureFd instead (it would be lost in the
// full-screen mode, or scroll it); savedFd is the terminal's standard error.
// Giving the terminal back (ReleaseStderr, or any restore above) puts
// standard error back and writes what was captured there.
void CaptureStderr(int savedFd, int captureFd);
// Puts standard error back and writes the captured lines; safe in a signal
// handler. Does nothing when nothing is captured.
void ReleaseStderr();
// Restores the armed terminal now; safe in a signal handler.
void RestoreArmedTerminal();

// True once after each SIGWINCH.
bool TakeWindowChange();

}  // namespace terminal

#endif  // TAXLINK_TERMINAL_TERMINALRESTORE_H_
