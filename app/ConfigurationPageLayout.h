#pragma once

#include "config/ConfigurationView.h"

#include <QStringList>

class QWidget;

namespace climate::app {

class FormBuilder;

// Builds the Configuration page: the serial port, address, firmware and "All" groups on the left,
// the parameter groups on the right. Returns the fields the configuration code works on.
config::ConfigurationView buildConfigurationPage(QWidget* page, FormBuilder& builder,
                                                 const QStringList& extraPorts);

} // namespace climate::app
