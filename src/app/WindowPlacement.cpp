#include "app/WindowPlacement.h"

#include "platform/Profile.h"
#include "platform/Settings.h"

#include <QGuiApplication>
#include <QScreen>
#include <QStringList>
#include <QWidget>

namespace {

// Larger rectangles come from a damaged profile, not from a screen.
constexpr int maxExtent = 100000;

bool usableRect(const QRect& rect)
{
    if (rect.width() <= 0 || rect.height() <= 0 || rect.width() > maxExtent ||
        rect.height() > maxExtent)
        return false;
    const QList<QScreen*> screens = QGuiApplication::screens();
    for (const QScreen* screen : screens) {
        if (screen->availableGeometry().intersects(rect))
            return true;
    }
    return false;
}

} // namespace

QString WindowPlacement::toString() const
{
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,%10")
        .arg(flags)
        .arg(showCmd)
        .arg(minX)
        .arg(minY)
        .arg(maxX)
        .arg(maxY)
        .arg(left)
        .arg(top)
        .arg(right)
        .arg(bottom);
}

std::optional<WindowPlacement> WindowPlacement::parse(const QString& text)
{
    const QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 10)
        return std::nullopt;
    int numbers[10];
    for (int i = 0; i < 10; ++i) {
        bool ok = false;
        numbers[i] = fields[i].trimmed().toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    if (numbers[0] < 0 || numbers[1] < 0)
        return std::nullopt;
    WindowPlacement p;
    p.flags = unsigned(numbers[0]);
    p.showCmd = unsigned(numbers[1]);
    p.minX = numbers[2];
    p.minY = numbers[3];
    p.maxX = numbers[4];
    p.maxY = numbers[5];
    p.left = numbers[6];
    p.top = numbers[7];
    p.right = numbers[8];
    p.bottom = numbers[9];
    return p;
}

bool WindowPlacement::opensMaximized() const
{
    // A frame closed minimized comes back as it was before it was minimized, never as an icon
    // the user has to find first.
    return showCmd == showMaximized ||
           (showCmd == showMinimized && (flags & restoreToMaximized) != 0);
}

namespace WinPos {

std::optional<WindowPlacement> read(const Profile& profile)
{
    if (!profile.contains(Settings::section, key))
        return std::nullopt;
    return WindowPlacement::parse(profile.getString(Settings::section, key));
}

void write(Profile& profile, const WindowPlacement& placement)
{
    profile.writeString(Settings::section, key, placement.toString());
    profile.flush();
}

WindowPlacement of(const QWidget& window)
{
    WindowPlacement p;
    const bool maximized = window.isMaximized();
    p.flags = maximized ? WindowPlacement::restoreToMaximized : 0;
    p.showCmd = maximized              ? WindowPlacement::showMaximized
                : window.isMinimized() ? WindowPlacement::showMinimized
                                       : WindowPlacement::showNormal;
    QRect normal = window.normalGeometry();
    if (!normal.isValid())
        normal = window.geometry();
    p.left = normal.left();
    p.top = normal.top();
    p.right = normal.right() + 1;
    p.bottom = normal.bottom() + 1;
    return p;
}

void restore(QWidget& window, const Profile& profile)
{
    const std::optional<WindowPlacement> placement = read(profile);
    if (!placement) {
        window.show();
        return;
    }
    if (usableRect(placement->normalRect()))
        window.setGeometry(placement->normalRect());
    if (placement->opensMaximized())
        window.showMaximized();
    else
        window.showNormal();
}

} // namespace WinPos
