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
    case SerialPort::OpenError::Other:
        break;
    }
    return "cannot open the port";
}

} // namespace climate::link
