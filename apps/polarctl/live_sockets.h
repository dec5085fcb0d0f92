#pragma once

#include <netdb.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The POSIX sockets and devices live reads from and writes to. Every descriptor returned is
// non-blocking and closed on exec; -1 (or none) with the reason in strError where it could not
// be made. A name is tried at every address the resolver gives for it, in its order: a host
// whose name gives IPv6 first still reaches a peer that listens on IPv4 only.

// "HOST:PORT" ("[::1]:PORT" for an IPv6 address) split; nothing when it is not that.
struct HostPort {
    std::string strHost;
    std::string strPort;
};
std::optional<HostPort> ParseHostPort(const std::string& strText);
// A port number from 1 to 65535, or nothing.
std::optional<int> ParsePort(const std::string& strText);

struct AddressListDeleter {
    void operator()(addrinfo* p) const { freeaddrinfo(p); }
};
using AddressList = std::unique_ptr<addrinfo, AddressListDeleter>;

// A TCP connection to a name: begun at its first address; where that fails (at once, or when
// the connection is refused later) the next address is tried, until none is left.
class TcpConnector {
  public:
    explicit TcpConnector(HostPort target) : m_target(std::move(target)) {}
    // The name resolved afresh and a connection begun at its first address that takes one (its
    // end told by the descriptor becoming writable); -1 with every address's reason.
    int Begin(std::string& strError);
    // The connection begun last failed for strWhy (its descriptor closed by the caller): one
    // begun at the next address, else -1 with every address's reason.
    int Next(const std::string& strWhy, std::string& strError);
    const HostPort& Target() const { return m_target; }

  private:
    int BeginFrom(std::string& strError);

    HostPort m_target;
    AddressList m_list;
    const addrinfo* m_pNext = nullptr;
    std::string m_strCurrent;  // the address of the connection begun last
    std::string m_strReasons;
};

// Whether a connection begun that way is made (SO_ERROR); the reason where it failed.
bool ConnectionMade(int fd, std::string& strError);

// UDP sockets bound to the port on every local address (IPv6 and IPv4 where the host has both),
// for datagrams in.
std::vector<int> BoundUdpSockets(int nPort, std::string& strError);
// TCP sockets listening on the port on every local address.
std::vector<int> ListeningTcpSockets(int nPort, std::string& strError);

// Datagrams to a name: sent to its first address; where that one refuses them (no one listens
// there: an ICMP answer), the next address takes the following ones, in turn.
class UdpSender {
  public:
    // Nothing, with the reason, when the name has no address a socket can be made for.
    static std::unique_ptr<UdpSender> Open(const HostPort& target, std::string& strError);
    ~UdpSender();
    UdpSender(const UdpSender&) = delete;
    UdpSender& operator=(const UdpSender&) = delete;

    int Fd() const { return m_fd; }
    // False when the datagram could not go (it is lost, as any may be).
    bool Send(std::string_view datagram);
    // An error the socket reported meanwhile (an ICMP answer): the next address, when it was a
    // refusal.
    void TakeError();

  private:
    explicit UdpSender(AddressList list) : m_list(std::move(list)) {}
    bool OpenAt(const addrinfo* pAddress);
    void MoveOn();

    AddressList m_list;
    const addrinfo* m_pCurrent = nullptr;
    int m_fd = -1;
};

// A serial device opened raw (8 data bits, no parity, one stop bit) at a standard rate.
int OpenSerialDevice(const std::string& strDevice, int nBaud, std::string& strError);
// Whether the rate is one a serial device takes here: 4800, 9600, 19200, 38400, 57600, 115200.
bool IsStandardBaudRate(int nBaud);
