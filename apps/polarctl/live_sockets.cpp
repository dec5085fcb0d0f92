#include "apps/polarctl/live_sockets.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "logs/log_text.h"

namespace {

std::string Reason(const char* pszWhat, const std::string& strTarget) {
    std::string str(pszWhat);
    str += ' ';
    str += PrintableText(strTarget);
    str += ": ";
    str += std::strerror(errno);
    return str;
}

struct AddressListDeleter {
    void operator()(addrinfo* p) const { freeaddrinfo(p); }
};
using AddressList = std::unique_ptr<addrinfo, AddressListDeleter>;

AddressList Resolve(const char* pszHost, const std::string& strPort, int nType, bool bPassive,
                    std::string& strError) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = nType;
    hints.ai_flags = bPassive ? AI_PASSIVE : 0;
    addrinfo* pList = nullptr;
    const int nError = getaddrinfo(pszHost, strPort.c_str(), &hints, &pList);
    if (nError != 0) {
        strError = "cannot resolve ";
        strError += PrintableText(pszHost != nullptr ? pszHost : "");
        strError += ':';
        strError += PrintableText(strPort);
        strError += ": ";
        strError += gai_strerror(nError);
        return nullptr;
    }
    return AddressList(pList);
}

// The first socket of the list that use (given the socket and its address) makes ready, else
// -1; strError then says why the last one failed.
template <typename Use>
int FirstSocket(const AddressList& list, const char* pszWhat, const std::string& strTarget,
                std::string& strError, Use use) {
    for (const addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
        const int fd =
            socket(a->ai_family, a->ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a->ai_protocol);
        if (fd < 0) {
            continue;
        }
        if (use(fd, *a)) {
            return fd;
        }
        strError = Reason(pszWhat, strTarget);
        close(fd);
    }
    return -1;
}

}  // namespace

std::optional<HostPort> ParseHostPort(const std::string& strText) {
    const std::size_t nColon = strText.rfind(':');
    if (nColon == std::string::npos || nColon == 0 || !ParsePort(strText.substr(nColon + 1))) {
        return std::nullopt;
    }
    std::string strHost = strText.substr(0, nColon);
    if (strHost.size() > 2 && strHost.front() == '[' && strHost.back() == ']') {
        strHost = strHost.substr(1, strHost.size() - 2);
    }
    return HostPort{strHost, strText.substr(nColon + 1)};
}

std::optional<int> ParsePort(const std::string& strText) {
    if (strText.empty() || strText.size() > 5 ||
        strText.find_first_not_of("0123456789") != std::string::npos) {
        return std::nullopt;
    }
    const int n = std::stoi(strText);
    return n >= 1 && n <= 65535 ? std::optional<int>(n) : std::nullopt;
}

int StartTcpConnection(const HostPort& target, std::string& strError) {
    const AddressList list =
        Resolve(target.strHost.c_str(), target.strPort, SOCK_STREAM, false, strError);
    return FirstSocket(list, "cannot connect to", target.strHost + ":" + target.strPort, strError,
                       [](int fd, const addrinfo& a) {
                           return connect(fd, a.ai_addr, a.ai_addrlen) == 0 || errno == EINPROGRESS;
                       });
}

bool ConnectionMade(int fd, std::string& strError) {
    int nError = 0;
    socklen_t nLength = sizeof nError;
    if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &nError, &nLength) != 0) {
        nError = errno;
    }
    if (nError != 0) {
        strError = std::strerror(nError);
        return false;
    }
    return true;
}

int BoundUdpSocket(int nPort, std::string& strError) {
    const AddressList list = Resolve(nullptr, std::to_string(nPort), SOCK_DGRAM, true, strError);
    return FirstSocket(list, "cannot receive on UDP port", std::to_string(nPort), strError,
                       [](int fd, const addrinfo& a) {
                           const int nOne = 1;
                           setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &nOne, sizeof nOne);
                           return bind(fd, a.ai_addr, a.ai_addrlen) == 0;
                       });
}

int ConnectedUdpSocket(const HostPort& target, std::string& strError) {
    const AddressList list =
        Resolve(target.strHost.c_str(), target.strPort, SOCK_DGRAM, false, strError);
    return FirstSocket(
        list, "cannot send to", target.strHost + ":" + target.strPort, strError,
        [](int fd, const addrinfo& a) { return connect(fd, a.ai_addr, a.ai_addrlen) == 0; });
}

int ListeningTcpSocket(int nPort, std::string& strError) {
    const AddressList list = Resolve(nullptr, std::to_string(nPort), SOCK_STREAM, true, strError);
    // The IPv6 address first: unless the host refuses it, it takes IPv4 clients too.
    for (const int nFamily : {AF_INET6, AF_INET}) {
        const int fd = FirstSocket(
            list, "cannot listen on TCP port", std::to_string(nPort), strError,
            [nFamily](int fdNew, const addrinfo& a) {
                if (a.ai_family != nFamily) {
                    errno = EAFNOSUPPORT;  // another pass takes it
                    return false;
                }
                const int nOne = 1;
                const int nZero = 0;
                setsockopt(fdNew, SOL_SOCKET, SO_REUSEADDR, &nOne, sizeof nOne);
                if (nFamily == AF_INET6) {
                    setsockopt(fdNew, IPPROTO_IPV6, IPV6_V6ONLY, &nZero, sizeof nZero);
                }
                return bind(fdNew, a.ai_addr, a.ai_addrlen) == 0 && listen(fdNew, 16) == 0;
            });
        if (fd >= 0) {
            return fd;
        }
    }
    return -1;
}

int OpenSerialDevice(const std::string& strDevice, int nBaud, std::string& strError) {
    const int fd = open(strDevice.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        strError = Reason("cannot open", strDevice);
        return -1;
    }
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        strError = Reason("not a serial device:", strDevice);
        close(fd);
        return -1;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    const speed_t speed = nBaud == 38400 ? B38400 : B4800;
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0 ||
        tcsetattr(fd, TCSANOW, &tio) != 0) {
        strError = Reason("cannot set the speed of", strDevice);
        close(fd);
        return -1;
    }
    return fd;
}
