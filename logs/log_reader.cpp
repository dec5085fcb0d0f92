#include "logs/log_reader.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <vector>

#include "logs/log_parser.h"
#include "logs/log_text.h"

namespace {

// Hands complete lines of the chunks to the parser; a line split between chunks is kept.
class LineSplitter {
  public:
    explicit LineSplitter(LogParser& parser) : m_parser(parser) {}
    void Feed(const char* p, std::size_t n) {
        std::string_view chunk(p, n);
        while (!chunk.empty()) {
            const std::size_t nl = chunk.find('\n');
            if (nl == std::string_view::npos) {
                if (m_carry.size() < (1u << 16)) {  // a "line" longer than any sentence: cut
                    m_carry.append(chunk);
                }
                return;
            }
            if (m_carry.empty()) {
                m_parser.Line(chunk.substr(0, nl));
            } else {
                m_carry.append(chunk.substr(0, nl));
                m_parser.Line(m_carry);
                m_carry.clear();
            }
            chunk.remove_prefix(nl + 1);
        }
    }
    void End() {
        if (!m_carry.empty()) {
            m_parser.Line(m_carry);
            m_carry.clear();
        }
    }

  private:
    LogParser& m_parser;
    std::string m_carry;
};

// The bytes of a log still to be read: a regular file's size (standard input's from where it
// stands); nothing for a pipe or a device.
std::optional<std::uint64_t> LogSize(const std::string& strPath) {
    struct stat st {};
    if (strPath == "-") {
        if (::fstat(STDIN_FILENO, &st) != 0 || !S_ISREG(st.st_mode)) {
            return std::nullopt;
        }
        const off_t pos = ::lseek(STDIN_FILENO, 0, SEEK_CUR);
        if (pos < 0 || pos > st.st_size) {
            return std::nullopt;
        }
        return static_cast<std::uint64_t>(st.st_size - pos);
    }
    if (::stat(strPath.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    return static_cast<std::uint64_t>(st.st_size);
}

// The name of a log in a message: standard input by that name, a path made printable.
std::string LogName(const std::string& strPath) {
    return strPath == "-" ? std::string("standard input") : PrintableText(strPath);
}

// The progress of a reading of several logs.
struct ProgressTracker {
    const std::function<void(const LogProgress&)>& report;
    std::uint64_t nDone = 0;  // the bytes of the logs read to their end
    std::uint64_t nTotal = 0;
};

// Whether the reading was asked to stop.
bool Cancelled(const LogReadOptions& options) {
    return options.cancelled && options.cancelled();
}

bool ReadOne(const std::string& strPath, LogCounts& counts, const LogSink& sink,
             std::string& strError, ProgressTracker* pProgress, std::optional<std::uint64_t> size,
             const LogReadOptions& options) {
    // gzopen reads plain files as they are, too; "-" is standard input (a copy of its
    // descriptor, which gzclose closes).
    gzFile file = nullptr;
    if (strPath == "-") {
        const int fd = ::dup(STDIN_FILENO);
        file = fd >= 0 ? gzdopen(fd, "rb") : nullptr;
        if (file == nullptr && fd >= 0) {
            ::close(fd);
        }
    } else {
        if (!CheckLog(strPath, strError)) {
            return false;
        }
        errno = 0;
        file = gzopen(strPath.c_str(), "rb");
    }
    if (file == nullptr) {
        const int nErrno = errno;
        strError = "cannot open " + LogName(strPath);
        if (nErrno != 0) {
            strError += std::string(": ") + std::strerror(nErrno);
        }
        return false;
    }
    gzbuffer(file, 1 << 18);
    // The file's position counts the compressed bytes consumed; a pipe has none, and then the
    // text read is counted.
    const z_off_t start = pProgress != nullptr ? gzoffset(file) : 0;
    const auto consumed = [&]() -> std::uint64_t {
        const z_off_t offset = start >= 0 ? gzoffset(file) : -1;
        const z_off_t read = offset >= 0 ? offset - start : gztell(file);
        return read > 0 ? static_cast<std::uint64_t>(read) : 0;
    };
    LogParser parser(counts, sink);
    LineSplitter lines(parser);
    std::vector<char> buffer(1 << 20);
    for (;;) {
        if (Cancelled(options)) {
            gzclose(file);
            return true;
        }
        const int n = gzread(file, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (n < 0) {
            // A damaged or cut compressed file: what came before is kept.
            counts.bTruncated = true;
            break;
        }
        if (n == 0) {
            break;
        }
        lines.Feed(buffer.data(), static_cast<std::size_t>(n));
        if (pProgress != nullptr) {
            pProgress->report({pProgress->nDone + consumed(), pProgress->nTotal});
        }
    }
    lines.End();
    int nError = Z_OK;
    gzerror(file, &nError);
    if (nError != Z_OK && nError != Z_STREAM_END) {
        counts.bTruncated = true;
    }
    if (pProgress != nullptr) {
        // Read to its end (or given up at damage): the whole file is done.
        pProgress->nDone += size ? *size : consumed();
        pProgress->report({pProgress->nDone, pProgress->nTotal});
    }
    gzclose(file);
    return true;
}

}  // namespace

bool CheckLog(const std::string& strPath, std::string& strError) {
    if (strPath == "-") {
        return true;
    }
    struct stat st {};
    if (::stat(strPath.c_str(), &st) != 0) {
        strError = "cannot open " + LogName(strPath) + ": " + std::strerror(errno);
        return false;
    }
    if (S_ISDIR(st.st_mode)) {
        strError = LogName(strPath) + " is a folder, not a log";
        return false;
    }
    // A FIFO is not opened here: that would wait for its writer.
    if (::access(strPath.c_str(), R_OK) != 0) {
        strError = "cannot read " + LogName(strPath) + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

void ReadLogText(std::string_view text, LogCounts& counts, const LogSink& sink) {
    LogParser parser(counts, sink);
    LineSplitter lines(parser);
    lines.Feed(text.data(), text.size());
    lines.End();
}

bool ReadLog(const std::string& strPath, LogCounts& counts, const LogSink& sink,
             std::string& strError, const LogReadOptions& options) {
    if (!options.progress) {
        return ReadOne(strPath, counts, sink, strError, nullptr, std::nullopt, options);
    }
    const std::optional<std::uint64_t> size = LogSize(strPath);
    ProgressTracker progress{options.progress, 0, size.value_or(0)};
    return ReadOne(strPath, counts, sink, strError, &progress, size, options);
}

bool ReadLogs(const std::vector<std::string>& aPaths, LogCounts& counts, const LogSink& sink,
              const std::function<void()>& newLog, std::string& strError,
              const LogReadOptions& options) {
    // The total is known when every log's size is.
    std::vector<std::optional<std::uint64_t>> sizes(aPaths.size());
    std::uint64_t nTotal = 0;
    bool bAllKnown = true;
    if (options.progress) {
        for (std::size_t i = 0; i < aPaths.size(); ++i) {
            sizes[i] = LogSize(aPaths[i]);
            bAllKnown = bAllKnown && sizes[i].has_value();
            nTotal += sizes[i].value_or(0);
        }
    }
    // Every log is checked before any is read: a reading may take long.
    for (const std::string& strPath : aPaths) {
        if (!CheckLog(strPath, strError)) {
            return false;
        }
    }
    ProgressTracker progress{options.progress, 0, bAllKnown ? nTotal : 0};
    for (std::size_t i = 0; i < aPaths.size() && !Cancelled(options); ++i) {
        newLog();
        if (!ReadOne(aPaths[i], counts, sink, strError, options.progress ? &progress : nullptr,
                     sizes[i], options)) {
            return false;
        }
    }
    return true;
}
