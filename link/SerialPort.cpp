#include "SerialPort.h"

namespace climate::link {

const char* describe(SerialPort::OpenError error) {
    switch (error) {
    case SerialPort::OpenError::None:
        return "opened";
    case SerialPort::OpenError::NotFound:
        return "no such port";
    case SerialPort::OpenError::PermissionDenied:
        return "permission denied";
    case SerialPort::OpenError::InUse:
        return "port in use by another program";
    case SerialPort::OpenError::InvalidName:
        return "not a port name (rtu+tcp://HOST:PORT or tcp://HOST[:PORT])";
    case SerialPort::OpenError::Refused:
        return "connection refused";
    case SerialPort::OpenError::HostNotFound:
        return "host not found";
    case SerialPort::OpenError::TimedOut:
        return "connection timed out";
    case SerialPort::OpenError::Pending:
        return "opening";
    case SerialPort::OpenError::Other:
        break;
    }
    return "cannot open the port";
}

} // namespace climate::link
