#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "apps/polarctl/command_line.h"
#include "apps/polarctl/polarctl.h"
#include "data/file_io.h"
#include "data/temporary_file.h"

namespace {

// Standard output as the commands write it: buffered, straight to the descriptor, keeping the
// reason of the first write that failed (a full disk, a closed pipe) for the one message at
// the end; after it nothing more is written.
class StandardOutputBuffer : public std::streambuf {
  public:
    StandardOutputBuffer() { setp(m_buffer, m_buffer + sizeof m_buffer); }
    int Error() const { return m_nError; }

  protected:
    int_type overflow(int_type c) override {
        if (sync() != 0) {
            return traits_type::eof();
        }
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }

    int sync() override {
        const char* p = pbase();
        std::size_t nLeft = static_cast<std::size_t>(pptr() - pbase());
        setp(m_buffer, m_buffer + sizeof m_buffer);
        while (nLeft > 0 && m_nError == 0) {
            const ssize_t n = ::write(STDOUT_FILENO, p, nLeft);
            if (n < 0) {
                if (errno != EINTR) {
                    m_nError = errno;
                }
                continue;
            }
            p += n;
            nLeft -= static_cast<std::size_t>(n);
        }
        return m_nError == 0 ? 0 : -1;
    }

  private:
    char m_buffer[1 << 16];
    int m_nError = 0;
};

}  // namespace

int main(int argc, char** argv) {
    CleanUpTemporaryFilesOnSignals();
    std::vector<std::string> args(argv + 1, argv + argc);
    StandardOutputBuffer buffer;
    std::ostream out(&buffer);
    const int nExit = RunPolarctl(args, out, std::cerr);
    // Checked once, here, for every command: a result that did not reach standard output is a
    // failure, whatever the command made of it.
    out.flush();
    if (buffer.Error() == 0 && out.good()) {
        return nExit;
    }
    std::cerr << "polarctl: write error on standard output";
    if (buffer.Error() != 0) {
        std::cerr << ": " << std::strerror(buffer.Error());
    }
    std::cerr << "\n";
    return nExit == kExitOk ? kExitInputProblem : nExit;
}
