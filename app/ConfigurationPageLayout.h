#pragma once

#include "config/ConfigurationView.h"

#include <QStringList>

class FormBuilder;
class QWidget;

// Builds the Configuration page: the serial port, address, firmware and "All" groups on the left,
// the parameter groups on the right. Returns the fields the configuration code works on.
ConfigurationView buildConfigurationPage(QWidget* page, FormBuilder& builder,
                                         const QStringList& extraPorts);
