#pragma once

#include <string>

// The temporary file a replacement is written to (inside data/), and the cleanup a program
// installs for it. While it exists, the handler
// that CleanUpTemporaryFilesOnSignals installs removes it when a signal ends the process.
struct TemporaryFile {
    int fd = -1;
    std::string strName;  // in its folder
    int nSlot = -1;       // where the signal handler finds it; -1: not known to it
};

// Creates "NAME.tmp-" and six random characters in the folder (a descriptor), with NAME
// shortened (at a character boundary) when the whole would not fit the folder's limit, so
// that the temporary name fits wherever NAME does. False, with errno, when none was created.
bool CreateTemporaryFile(int nFolder, const std::string& strName, TemporaryFile& file);
// The file was renamed into place or removed: nothing for the handler to remove any more.
void ForgetTemporaryFile(TemporaryFile& file);

// For programs: when SIGINT, SIGTERM, SIGHUP or SIGQUIT ends the process while a write is in
// progress, its temporary file is removed first; the signal then ends the process as it would
// have (its default action). Signals that were ignored stay ignored. A library used inside a
// host never calls this: the signals are the host's.
void CleanUpTemporaryFilesOnSignals();
