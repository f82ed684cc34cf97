// haze --install-xscreensaver and --uninstall-xscreensaver: haze into the
// current user's XScreenSaver programs list, and out again, in one command.
//
// The list is in ~/.xscreensaver. When that file is missing it is made from
// the daemon's app-defaults file, so every stock program stays listed; the
// daemon notices the change and reads the file again by itself. The entry
// names haze by its absolute path, the copy in the daemons' program folder
// (libexec/xscreensaver) of haze's own install prefix when there is one: a
// bare name or ~ in the list is "not installed" for the daemon unless the
// program sits in its own folder.
#pragma once

// Each prints what it did, or why it could not, in one line and returns the
// exit code: 0 when the list is as asked (also when it already was), 1 when
// a file could not be read or written.
int installIntoXScreenSaver();
int uninstallFromXScreenSaver();
