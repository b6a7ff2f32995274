#pragma once

namespace climate::link {

// The pages of the window's page control, numbered as it numbers them. The engine runs the cycle
// of the page its host reports on each tick.
enum Page : int { ConfigurationPage = 0, RealTimeDataPage = 1, DeclarationPage = 2 };

} // namespace climate::link
