// Internal to the POSIX backend: the UUCP lock-file convention that terminal programs and modem
// tools honour. A program that uses a serial device creates LCK..<device> in the lock folder
// (/var/lock) holding its process id as ten ASCII characters and a newline, and removes it when
// it lets the device go. A lock whose process no longer exists is stale and is taken over.
//
// The lock only adds to the exclusive open: a lock folder that does not exist or that this
// process may not write leaves the device unlocked rather than unusable.
#pragma once

#include <string>

namespace serial::backend::posix {

// The folder: LIRAT5_LOCK_DIR when set (tests point it at a folder of their own), else /var/lock.
std::string LockFolder();
// The lock file's name for a device path: the path below /dev with '/' as '_', after "LCK..";
// /dev/ttyUSB0 gives LCK..ttyUSB0, /dev/pts/3 gives LCK..pts_3.
std::string LockFileName(const std::string& devicePath);

// Takes the device's lock. 0 with lockPath set to the file made (empty when no lock could be
// made for want of a usable folder), or EBUSY when a living process holds the lock.
int TakeDeviceLock(const std::string& devicePath, std::string& lockPath);
// Removes a lock taken by TakeDeviceLock; an empty path is ignored.
void ReleaseDeviceLock(const std::string& lockPath);
// The living process whose lock the device has, or 0 when it has none (or a stale one).
long DeviceLockHolder(const std::string& devicePath);

} // namespace serial::backend::posix
