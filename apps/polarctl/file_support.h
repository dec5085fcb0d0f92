#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/file_lock.h"
#include "data/polar_file.h"

// What every polarctl command that reads or writes a data file does the same way.

// "FILE:LINE:COLUMN: kind: message".
void PrintProblem(std::ostream& os, const std::string& strFile, const PolarFileProblem& problem,
                  const char* pszKind = "error");
// The warnings, then the stop; whether there was any.
bool PrintProblems(std::ostream& os, const std::string& strFile, const PolarFileContents& contents);
// "-" names standard input as a command's input and standard output as its output.
bool IsStandardStream(const std::string& strPath);
// Whether an output goes to standard output: "-", or a path that names it (/dev/stdout).
bool IsStandardOutput(const std::string& strTarget);
// Where a command prints what it did: standard error when its data go to standard output.
std::ostream& ReportStream(const std::string& strTarget, std::ostream& out, std::ostream& err);
// Reads a whole input file, or standard input for "-".
IoStatus ReadInput(const std::string& strPath, std::string& strContent);
// False (with the message) when more than one input is "-": standard input can be read once.
bool ReadsStandardInputOnce(const std::vector<std::string>& aInputs, std::ostream& err);
// Loads a data file ("-": standard input); false (with the reason written) when it cannot be
// read. What a regular file held is remembered: WriteOutput checks a file it replaces against
// it, so that a change another program made meanwhile is not written over.
bool LoadOrComplain(const std::string& strFile, PolarFileContents& contents, std::ostream& err);
// The sail plan a user chose by strWhich: a whole number is its index from 0; else, or when no
// sail plan has that index, a name, matched exactly first, then without regard to case (ASCII
// letters) when only one sail plan matches so. Nothing when none or several match; strError
// then says so and names the sail plans there are (or the ones that matched), and strFile
// names the file in it.
std::optional<std::size_t> ChooseSailPlan(const SailPlanArray& aSailPlans,
                                          const std::string& strWhich, const std::string& strFile,
                                          std::string& strError);
// Forgets what earlier runs in this process read (see LoadOrComplain).
void ForgetFilesRead();
// A command that writes back the data file it reads (normalize or smooth onto the file they
// read, vmg --apply, --append) holds the file's advisory lock from before the reading until
// after the writing, so that two of our writers never lose each other's change. Locks when
// strTarget names the same regular file as strFile (through any spelling or link). False (with
// the message, naming the file) when another program held it longer than the wait.
bool LockForRewrite(const std::string& strFile, const std::string& strTarget, FileLock& lock,
                    std::ostream& err);
// Writes a command's output atomically; a read-only target is refused unless bForce. A FIFO,
// a character device or a socket is written in place; standard output (see IsStandardOutput)
// through out. A data file this run read (see LoadOrComplain) is written only when it still
// holds what was read. False (with the reason written) when nothing was written; a failed
// write to standard output is reported once, where the program ends.
bool WriteOutput(const std::string& strTarget, std::string_view content, bool bForce,
                 std::ostream& out, std::ostream& err);
// What the write of an output would refuse (a directory, a symbolic link to nothing, a missing
// folder), told before a command does its work; false with the message.
bool CheckOutput(const std::string& strTarget, std::ostream& err);
// A command that writes back the file it read (normalize or smooth without -o, vmg --apply,
// --append) needs a regular file: reading a FIFO or a device consumes it, and writing back
// would wait for a reader. False with the message, naming what was asked (pszWhat).
bool CheckRewritable(const std::string& strFile, const char* pszWhat, std::ostream& err);
// Whether a data file to add to is there: a regular file (followed through links). False for
// a missing file, and for what is not one (CheckRewritable and CheckOutput say why).
bool DataFileExists(const std::string& strFile);
// True (with the reason written) when writing would lose what follows an early stop and
// --force was not given.
bool RefuseLossyWrite(const std::string& strFile, const PolarFileContents& contents, bool bForce,
                      std::ostream& err);
