#include "apps/polarctl/live_sockets.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "logs/log_text.h"

namespace {

std::string Reason(const char* pszWhat, const std::string& strTarget, int nError) {
    std::string str(pszWhat);
    str += ' ';
    str += PrintableText(strTarget);
    str += ": ";
    str += std::strerror(nError);
    return str;
}

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
        strError += nError == EAI_SYSTEM ? std::strerror(errno) : gai_strerror(nError);
        return nullptr;
    }
    return AddressList(pList);
}

// "[::1]:10110", "127.0.0.1:10110": an address as the reasons name it.
std::string AddressText(const addrinfo& a) {
    char szHost[INET6_ADDRSTRLEN] = "?";
    int nPort = 0;
    if (a.ai_family == AF_INET6) {
        const auto* p = reinterpret_cast<const sockaddr_in6*>(a.ai_addr);
        inet_ntop(AF_INET6, &p->sin6_addr, szHost, sizeof szHost);
        nPort = ntohs(p->sin6_port);
        return std::string("[") + szHost + "]:" + std::to_string(nPort);
    }
    if (a.ai_family == AF_INET) {
        const auto* p = reinterpret_cast<const sockaddr_in*>(a.ai_addr);
        inet_ntop(AF_INET, &p->sin_addr, szHost, sizeof szHost);
        nPort = ntohs(p->sin_port);
    }
    return std::string(szHost) + ":" + std::to_string(nPort);
}

int NewSocket(const addrinfo& a) {
    return socket(a.ai_family, a.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, a.ai_protocol);
}

// A family the host does not have (IPv6 switched off): that address is passed over.
bool FamilyMissing(int nError) {
    return nError == EAFNOSUPPORT || nError == EPROTONOSUPPORT || nError == EADDRNOTAVAIL;
}

// A socket bound (and, for TCP, listening) on every passive address of the port; an IPv6
// socket takes IPv6 only, so that the IPv4 one can be bound beside it. Any address that fails
// for another reason than a missing family (a port in use) fails the whole, with its reason.
std::vector<int> BoundSockets(int nType, int nPort, const char* pszWhat, std::string& strError) {
    const std::string strPort = std::to_string(nPort);
    const AddressList list = Resolve(nullptr, strPort, nType, true, strError);
    std::vector<int> fds;
    int nFirstError = 0;
    const auto fail = [&](int nError) {
        for (const int fd : fds) {
            close(fd);
        }
        fds.clear();
        strError = Reason(pszWhat, strPort, nError);
    };
    for (const addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
        const int fd = NewSocket(*a);
        if (fd < 0) {
            nFirstError = nFirstError != 0 ? nFirstError : errno;
            continue;
        }
        const int nOne = 1;
        setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &nOne, sizeof nOne);
        if (a->ai_family == AF_INET6) {
            setsockopt(fd, IPPROTO_IPV6, IPV6_V6ONLY, &nOne, sizeof nOne);
        }
        if (bind(fd, a->ai_addr, a->ai_addrlen) != 0 ||
            (nType == SOCK_STREAM && listen(fd, 16) != 0)) {
            const int nError = errno;
            close(fd);
            if (!FamilyMissing(nError)) {
                fail(nError);
                return fds;
            }
            nFirstError = nFirstError != 0 ? nFirstError : nError;
            continue;
        }
        fds.push_back(fd);
    }
    if (fds.empty() && list) {
        fail(nFirstError != 0 ? nFirstError : EADDRNOTAVAIL);
    }
    return fds;
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

int TcpConnector::Begin(std::string& strError) {
    m_strReasons.clear();
    m_list = Resolve(m_target.strHost.c_str(), m_target.strPort, SOCK_STREAM, false, strError);
    m_pNext = m_list.get();
    return m_list ? BeginFrom(strError) : -1;
}

int TcpConnector::Next(const std::string& strWhy, std::string& strError) {
    m_strReasons += m_strReasons.empty() ? "" : "; ";
    m_strReasons += m_strCurrent + ": " + strWhy;
    return BeginFrom(strError);
}

int TcpConnector::BeginFrom(std::string& strError) {
    for (; m_pNext != nullptr;) {
        const addrinfo& a = *m_pNext;
        m_pNext = m_pNext->ai_next;
        m_strCurrent = AddressText(a);
        const int fd = NewSocket(a);
        if (fd >= 0 && (connect(fd, a.ai_addr, a.ai_addrlen) == 0 || errno == EINPROGRESS)) {
            return fd;
        }
        const int nError = errno;
        if (fd >= 0) {
            close(fd);
        }
        m_strReasons += m_strReasons.empty() ? "" : "; ";
        m_strReasons += m_strCurrent + ": " + std::strerror(nError);
    }
    strError = "cannot connect to " + PrintableText(m_target.strHost) + ":" + m_target.strPort +
               " (" + m_strReasons + ")";
    return -1;
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

std::vector<int> BoundUdpSockets(int nPort, std::string& strError) {
    return BoundSockets(SOCK_DGRAM, nPort, "cannot receive on UDP port", strError);
}

std::vector<int> ListeningTcpSockets(int nPort, std::string& strError) {
    return BoundSockets(SOCK_STREAM, nPort, "cannot listen on TCP port", strError);
}

std::unique_ptr<UdpSender> UdpSender::Open(const HostPort& target, std::string& strError) {
    AddressList list = Resolve(target.strHost.c_str(), target.strPort, SOCK_DGRAM, false, strError);
    if (!list) {
        return nullptr;
    }
    std::unique_ptr<UdpSender> pSender(new UdpSender(std::move(list)));
    int nError = 0;
    for (const addrinfo* a = pSender->m_list.get(); a != nullptr; a = a->ai_next) {
        if (pSender->OpenAt(a)) {
            return pSender;
        }
        nError = nError != 0 ? nError : errno;
    }
    strError = Reason("cannot send to", target.strHost + ":" + target.strPort, nError);
    return nullptr;
}

UdpSender::~UdpSender() {
    if (m_fd >= 0) {
        close(m_fd);
    }
}

bool UdpSender::OpenAt(const addrinfo* pAddress) {
    const int fd = NewSocket(*pAddress);
    if (fd < 0) {
        return false;
    }
    // A broadcast address needs leave to be sent to; elsewhere the option changes nothing.
    const int nOne = 1;
    setsockopt(fd, SOL_SOCKET, SO_BROADCAST, &nOne, sizeof nOne);
    if (connect(fd, pAddress->ai_addr, pAddress->ai_addrlen) != 0) {
        const int nError = errno;
        close(fd);
        errno = nError;
        return false;
    }
    if (m_fd >= 0) {
        close(m_fd);
    }
    m_fd = fd;
    m_pCurrent = pAddress;
    return true;
}

void UdpSender::MoveOn() {
    // The addresses in turn, from the first again after the last; one that cannot take a
    // socket now is passed over.
    for (const addrinfo* a = m_pCurrent->ai_next;; a = a->ai_next) {
        if (a == nullptr) {
            a = m_list.get();
        }
        if (a == m_pCurrent || OpenAt(a)) {
            return;
        }
    }
}

bool UdpSender::Send(std::string_view datagram) {
    // Twice at most: a refusal reported now answers an earlier datagram, so this one goes to
    // the next address.
    for (int nTry = 0; nTry < 2; ++nTry) {
        if (send(m_fd, datagram.data(), datagram.size(), MSG_NOSIGNAL | MSG_DONTWAIT) >= 0) {
            return true;
        }
        if (errno != ECONNREFUSED) {
            return false;
        }
        MoveOn();
    }
    return false;
}

void UdpSender::TakeError() {
    int nError = 0;
    socklen_t nLength = sizeof nError;
    if (getsockopt(m_fd, SOL_SOCKET, SO_ERROR, &nError, &nLength) == 0 && nError == ECONNREFUSED) {
        MoveOn();
    }
}

bool IsStandardBaudRate(int nBaud) {
    for (const int n : {4800, 9600, 19200, 38400, 57600, 115200}) {
        if (n == nBaud) {
            return true;
        }
    }
    return false;
}

int OpenSerialDevice(const std::string& strDevice, int nBaud, std::string& strError) {
    const int fd = open(strDevice.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        strError = Reason("cannot open", strDevice, errno);
        return -1;
    }
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) {
        strError = Reason("not a serial device:", strDevice, errno);
        close(fd);
        return -1;
    }
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~static_cast<tcflag_t>(CSTOPB | PARENB | CRTSCTS);
    speed_t speed = B4800;
    switch (nBaud) {
        case 9600:
            speed = B9600;
            break;
        case 19200:
            speed = B19200;
            break;
        case 38400:
            speed = B38400;
            break;
        case 57600:
            speed = B57600;
            break;
        case 115200:
            speed = B115200;
            break;
        default:
            break;
    }
    if (cfsetispeed(&tio, speed) != 0 || cfsetospeed(&tio, speed) != 0 ||
        tcsetattr(fd, TCSANOW, &tio) != 0) {
        strError = Reason("cannot set the speed of", strDevice, errno);
        close(fd);
        return -1;
    }
    return fd;
}
