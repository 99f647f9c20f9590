#pragma once

#include <QLatin1String>
#include <QString>

// Gives a dialog control the object name of its kind and number ("edit108"), the name tests
// and screenshots find it by.
template <class W> W* named(W* widget, const char* kind, int id)
{
    widget->setObjectName(QStringLiteral("%1%2").arg(QLatin1String(kind)).arg(id));
    return widget;
}
