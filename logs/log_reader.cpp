#include "logs/log_reader.h"

#include <unistd.h>
#include <zlib.h>

#include <vector>

#include "logs/log_parser.h"

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

}  // namespace

void ReadLogText(std::string_view text, LogCounts& counts, const LogSink& sink) {
    LogParser parser(counts, sink);
    LineSplitter lines(parser);
    lines.Feed(text.data(), text.size());
    lines.End();
}

bool ReadLog(const std::string& strPath, LogCounts& counts, const LogSink& sink,
             std::string& strError) {
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
        file = gzopen(strPath.c_str(), "rb");
    }
    if (file == nullptr) {
        strError = "cannot open " + (strPath == "-" ? std::string("standard input") : strPath);
        return false;
    }
    gzbuffer(file, 1 << 18);
    LogParser parser(counts, sink);
    LineSplitter lines(parser);
    std::vector<char> buffer(1 << 20);
    for (;;) {
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
    }
    lines.End();
    int nError = Z_OK;
    gzerror(file, &nError);
    if (nError != Z_OK && nError != Z_STREAM_END) {
        counts.bTruncated = true;
    }
    gzclose(file);
    return true;
}

bool ReadLogs(const std::vector<std::string>& aPaths, LogCounts& counts, const LogSink& sink,
              const std::function<void()>& newLog, std::string& strError) {
    for (const std::string& strPath : aPaths) {
        newLog();
        if (!ReadLog(strPath, counts, sink, strError)) {
            return false;
        }
    }
    return true;
}
