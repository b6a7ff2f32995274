#include "NetworkPortAddress.h"

#include <QUrl>

namespace climate::link {

namespace {

const QString RtuScheme = QStringLiteral("rtu+tcp");
const QString MbapScheme = QStringLiteral("tcp");

} // namespace

bool NetworkPortAddress::looksLikeNetworkPort(const QString& name) {
    const QString trimmed = name.trimmed();
    return trimmed.startsWith(RtuScheme + QStringLiteral("://"), Qt::CaseInsensitive) ||
           trimmed.startsWith(MbapScheme + QStringLiteral("://"), Qt::CaseInsensitive);
}

std::optional<NetworkPortAddress> NetworkPortAddress::parse(const QString& name) {
    const QString trimmed = name.trimmed();
    if (!looksLikeNetworkPort(trimmed)) {
        return std::nullopt;
    }
    // QUrl lower-cases the scheme and the host, checks IPv6 literals and the port's range.
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty() || !url.userInfo().isEmpty() || url.hasQuery() ||
        url.hasFragment() || !(url.path().isEmpty() || url.path() == "/")) {
        return std::nullopt;
    }
    NetworkPortAddress address;
    address.framing = url.scheme() == RtuScheme ? Framing::Rtu : Framing::Mbap;
    address.host = url.host();
    const int port = url.port();
    if (port < 0) {
        if (address.framing == Framing::Rtu) {
            return std::nullopt;
        }
        address.port = ModbusTcpPort;
    } else if (port == 0) {
        return std::nullopt;
    } else {
        address.port = static_cast<std::uint16_t>(port);
    }
    return address;
}

} // namespace climate::link
