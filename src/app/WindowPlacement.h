#pragma once

#include <QRect>
#include <QString>
#include <optional>

class Profile;
class QWidget;

// The main frame's placement as the profile keeps it under WinPos: ten comma-separated numbers,
// flags, show command, minimized position x and y, maximized position x and y, and the normal
// rectangle's left, top, right and bottom (right and bottom just outside it).
struct WindowPlacement
{
    enum ShowCommand : unsigned { showNormal = 1, showMinimized = 2, showMaximized = 3 };
    static constexpr unsigned restoreToMaximized = 2; // in flags

    unsigned flags = 0;
    unsigned showCmd = showNormal;
    int minX = -1;
    int minY = -1;
    int maxX = -1;
    int maxY = -1;
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    QString toString() const;
    // Nothing unless the text holds exactly ten integers (the first two not negative).
    static std::optional<WindowPlacement> parse(const QString& text);

    QRect normalRect() const { return QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)); }
    bool opensMaximized() const;

    bool operator==(const WindowPlacement&) const = default;
};

namespace WinPos {
inline const QString key = QStringLiteral("WinPos");

std::optional<WindowPlacement> read(const Profile& profile);
void write(Profile& profile, const WindowPlacement& placement);

// The placement of a shown window: its normal rectangle, and whether it is maximized.
WindowPlacement of(const QWidget& window);
// Shows the window as the profile says: its normal rectangle where that lies on a screen,
// maximized if it was closed maximized. Without a usable WinPos the window is shown as it is.
void restore(QWidget& window, const Profile& profile);
} // namespace WinPos
