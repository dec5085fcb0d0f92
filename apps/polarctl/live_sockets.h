#pragma once

#include <optional>
#include <string>

// The POSIX sockets and devices live reads from and writes to. Every descriptor returned is
// non-blocking and closed on exec; -1 with the reason in strError where it could not be made.

// "HOST:PORT" ("[::1]:PORT" for an IPv6 address) split; nothing when it is not that.
struct HostPort {
    std::string strHost;
    std::string strPort;
};
std::optional<HostPort> ParseHostPort(const std::string& strText);
// A port number from 1 to 65535, or nothing.
std::optional<int> ParsePort(const std::string& strText);

// A TCP connection begun to host:port (its end told by the descriptor becoming writable).
int StartTcpConnection(const HostPort& target, std::string& strError);
// Whether a connection begun that way is made (SO_ERROR); the reason where it failed.
bool ConnectionMade(int fd, std::string& strError);
// A UDP socket bound to the port on every address, for datagrams in.
int BoundUdpSocket(int nPort, std::string& strError);
// A UDP socket connected to host:port, for datagrams out.
int ConnectedUdpSocket(const HostPort& target, std::string& strError);
// A TCP socket listening on the port on every address (IPv6 and IPv4 where the host has both).
int ListeningTcpSocket(int nPort, std::string& strError);
// A serial device opened raw (8 data bits, no parity, one stop bit) at 4800 or 38400 baud.
int OpenSerialDevice(const std::string& strDevice, int nBaud, std::string& strError);
