// The temporary files of atomic replacements, and their removal when a signal ends the process.
#include "data/temporary_file.h"

#include <fcntl.h>
#include <pthread.h>
#include <sys/random.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <iterator>

namespace {

// The temporary files being written, for the signal handler to remove. A slot is free while
// its folder descriptor is -1; lock-free atomics are safe to read in a handler.
struct PendingTemporaryFile {
    std::atomic<int> nFolder{-1};
    char szName[NAME_MAX + 1] = {};
};
PendingTemporaryFile g_aPending[8];
constexpr int kCleanupSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM};

int RegisterPending(int nFolder, const std::string& strName) {
    for (int i = 0; i < static_cast<int>(std::size(g_aPending)); ++i) {
        int nFree = -1;
        if (g_aPending[i].nFolder.compare_exchange_strong(nFree, -2)) {
            std::memcpy(g_aPending[i].szName, strName.c_str(), strName.size() + 1);
            g_aPending[i].nFolder.store(nFolder);
            return i;
        }
    }
    return -1;  // more writes at once than slots: this one is not cleaned up
}

void ReleasePending(int nSlot) {
    if (nSlot >= 0) {
        g_aPending[nSlot].nFolder.store(-1);
    }
}

extern "C" void RemovePendingAndEnd(int nSignal) {
    for (PendingTemporaryFile& pending : g_aPending) {
        const int nFolder = pending.nFolder.load();
        if (nFolder >= 0) {
            ::unlinkat(nFolder, pending.szName, 0);
        }
    }
    // SA_RESETHAND gave the signal its default action back; it is blocked while this handler
    // runs and ends the process as soon as the handler returns.
    ::raise(nSignal);
}

// Blocks the signals that remove temporary files while one is being created and registered, so
// that a file is never created without the handler knowing it.
class CleanupSignalsBlocked {
  public:
    CleanupSignalsBlocked() {
        sigset_t set;
        ::sigemptyset(&set);
        for (const int nSignal : kCleanupSignals) {
            ::sigaddset(&set, nSignal);
        }
        ::pthread_sigmask(SIG_BLOCK, &set, &m_old);
    }
    ~CleanupSignalsBlocked() { ::pthread_sigmask(SIG_SETMASK, &m_old, nullptr); }
    CleanupSignalsBlocked(const CleanupSignalsBlocked&) = delete;
    CleanupSignalsBlocked& operator=(const CleanupSignalsBlocked&) = delete;

  private:
    sigset_t m_old;
};

// A name for the temporary file beside strName: "NAME.tmp-" and six random characters, with
// NAME shortened (at a character boundary) when the whole would not fit the folder's limit.
std::string TemporaryName(const std::string& strName, std::size_t nNameMax) {
    static const char kChars[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    constexpr std::size_t kSuffix = 11;  // ".tmp-XXXXXX"
    std::size_t nStem = strName.size();
    if (nStem + kSuffix > nNameMax) {
        nStem = nNameMax > kSuffix ? nNameMax - kSuffix : 0;
        while (nStem > 0 && (static_cast<unsigned char>(strName[nStem]) & 0xC0) == 0x80) {
            --nStem;
        }
    }
    static std::atomic<std::uint64_t> s_nCounter{0};
    std::uint64_t nBits = 0;
    if (::getrandom(&nBits, sizeof nBits, GRND_NONBLOCK) != sizeof nBits) {
        timespec now{};
        ::clock_gettime(CLOCK_REALTIME, &now);
        nBits = static_cast<std::uint64_t>(now.tv_nsec) ^
                (static_cast<std::uint64_t>(::getpid()) << 32) ^
                (++s_nCounter * 0x9E3779B97F4A7C15ull);
    }
    std::string strTemp = strName.substr(0, nStem) + ".tmp-";
    for (int i = 0; i < 6; ++i) {
        strTemp += kChars[nBits % (sizeof kChars - 1)];
        nBits /= sizeof kChars - 1;
    }
    return strTemp;
}

}  // namespace

bool CreateTemporaryFile(int nFolder, const std::string& strName, TemporaryFile& file) {
    long nNameMax = ::fpathconf(nFolder, _PC_NAME_MAX);
    if (nNameMax <= 0 || nNameMax > NAME_MAX) {
        nNameMax = NAME_MAX;
    }
    const CleanupSignalsBlocked blocked;
    for (int nTry = 0; nTry < 100; ++nTry) {
        file.strName = TemporaryName(strName, static_cast<std::size_t>(nNameMax));
        file.fd =
            ::openat(nFolder, file.strName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (file.fd >= 0 || errno != EEXIST) {
            break;
        }
    }
    if (file.fd < 0) {
        return false;
    }
    file.nSlot = RegisterPending(nFolder, file.strName);
    return true;
}

void ForgetTemporaryFile(TemporaryFile& file) {
    ReleasePending(file.nSlot);
    file.nSlot = -1;
}

void CleanUpTemporaryFilesOnSignals() {
    for (const int nSignal : kCleanupSignals) {
        struct sigaction old {};
        if (::sigaction(nSignal, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) {
            continue;  // ignored (nohup, a background job): leave it so
        }
        struct sigaction action {};
        action.sa_handler = RemovePendingAndEnd;
        ::sigemptyset(&action.sa_mask);
        for (const int nOther : kCleanupSignals) {
            ::sigaddset(&action.sa_mask, nOther);
        }
        action.sa_flags = SA_RESETHAND;
        ::sigaction(nSignal, &action, nullptr);
    }
}
