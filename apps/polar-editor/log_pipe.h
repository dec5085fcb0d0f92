#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

// A log file handed to the log reader through a pipe, so that a reading can be stopped at
// once: the reader opens Path() (the pipe's read end, as /proc/self/fd/N) as it opens any log,
// and a thread of this object copies the file into the pipe. Once cancel is set the copy
// ends; the reader then meets the end of its input within the pipe's buffer,
// however long the log.
class LogPipe {
  public:
    // False from Ok(), with the reason, when the file or the pipe cannot be opened.
    LogPipe(const std::string& strFile, const std::atomic<bool>& cancel);
    ~LogPipe();
    LogPipe(const LogPipe&) = delete;
    LogPipe& operator=(const LogPipe&) = delete;

    bool Ok() const { return m_strError.empty(); }
    const std::string& Error() const { return m_strError; }
    std::string Path() const;
    // The bytes of the file copied so far (of a compressed log, its compressed bytes).
    std::uint64_t BytesCopied() const { return m_nCopied.load(std::memory_order_relaxed); }
    // Whether the copy met an error (a disk that cannot be read), with its reason.
    std::string CopyError();

  private:
    void Copy();
    bool Stopping() const { return m_bStop.load() || m_cancel.load(); }
    const std::atomic<bool>& m_cancel;
    std::string m_strError;
    int m_fdFile = -1;
    int m_fdRead = -1;
    int m_fdWrite = -1;
    std::atomic<std::uint64_t> m_nCopied{0};
    std::atomic<bool> m_bStop{false};
    std::string m_strCopyError;
    std::thread m_thread;
};
