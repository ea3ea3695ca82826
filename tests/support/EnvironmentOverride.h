// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QtGlobal>

// Sets an environment variable (RIGDECK_COMn, PATH, ...) for the life of the
// object, and puts back what was there before, set or not.
class EnvironmentOverride
{
public:
    EnvironmentOverride(const char *name, const QByteArray &value)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_previous(qgetenv(name))
    {
        qputenv(name, value);
    }
    // Unsets it for the life of the object.
    explicit EnvironmentOverride(const char *name)
        : m_name(name)
        , m_had(qEnvironmentVariableIsSet(name))
        , m_previous(qgetenv(name))
    {
        qunsetenv(name);
    }
    ~EnvironmentOverride()
    {
        if (m_had) {
            qputenv(m_name, m_previous);
        } else {
            qunsetenv(m_name);
        }
    }
    EnvironmentOverride(const EnvironmentOverride &) = delete;
    EnvironmentOverride &operator=(const EnvironmentOverride &) = delete;

private:
    const char *m_name;
    bool m_had;
    QByteArray m_previous;
};
