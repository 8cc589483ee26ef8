#pragma once
// How lirat5-cli ends: one status per kind of outcome, so a script can tell a typing mistake
// from a transducer that did not answer or did not keep what was written.

namespace cli {

enum class ExitStatus : int {
    Done = 0,
    FileError = 1,       // a file the user named could not be read or written (profile, log, CSV,
                         // page, record, settings); outputs are checked before anything is sent
    Usage = 2,           // unknown command or option, a missing or superfluous option
    InvalidValue = 3,    // a value the window's checks (or the profile's) refuse, nothing sent;
                         // or a calibration for another range or output than the transducer's
    DeviceError = 4,     // no reply, a bad reply, a port error, a calibration the transducer failed
    VerifyFailed = 5,    // the read-back after a write differs from what was written
    Interrupted = 6,     // Ctrl+C, SIGTERM or a closed terminal; the end of input at an output
                         // calibration's prompt ("$B" sent)
    SomePortsDiffer = 7, // a run over several ports whose ports did not all end the same way
};

inline int Code(ExitStatus status) {
    return static_cast<int>(status);
}

} // namespace cli
