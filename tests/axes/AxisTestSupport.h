#pragma once

#include "axes/Axis.h"
#include "axes/AxisEditors.h"
#include "page/visibleobject.h"
#include "platform/StringObMap.h"

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// What a recording device context drew, taken apart.
struct DrawnLine
{
    int x1, y1, x2, y2;
};
struct DrawnText
{
    int x, y;
    QString text;
};

inline QList<DrawnLine> drawnLines(const QStringList& records)
{
    static const QRegularExpression re(
        QStringLiteral("^line (-?\\d+),(-?\\d+) (-?\\d+),(-?\\d+)$"));
    QList<DrawnLine> out;
    for (const QString& r : records) {
        const auto m = re.match(r);
        if (m.hasMatch())
            out.append({m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3).toInt(),
                        m.captured(4).toInt()});
    }
    return out;
}

inline QList<DrawnText> drawnTexts(const QStringList& records)
{
    static const QRegularExpression re(QStringLiteral("^text (-?\\d+),(-?\\d+) \"(.*)\"$"));
    QList<DrawnText> out;
    for (const QString& r : records) {
        const auto m = re.match(r);
        if (m.hasMatch())
            out.append({m.captured(1).toInt(), m.captured(2).toInt(), m.captured(3)});
    }
    return out;
}

// A stand-in for the axis title: records what the axis asks of it.
class FakeTitle : public visibleobject
{
    PV_DECLARE_SERIAL(FakeTitle)

public:
    FakeTitle() { ++alive; }
    ~FakeTitle() override { --alive; }
    visibleobject* ReleaseReference(visibleobject* other) override
    {
        released.append(other);
        return nullptr;
    }
    int EditProperties() override
    {
        ++edits;
        return editResult;
    }

    QList<visibleobject*> released;
    int edits = 0;
    int editResult = 1;
    static inline int alive = 0;
};

// Editors that answer as scripted and remember what they were asked.
class ScriptedAxisEditors : public AxisEditors
{
public:
    int formatAxes(Axis& axis, DocumentServices* doc) override
    {
        calls.append(QStringLiteral("formatAxes"));
        lastAxis = &axis;
        lastDocument = doc;
        return result;
    }
    int formatTicks(Axis& axis) override
    {
        calls.append(QStringLiteral("formatTicks"));
        lastAxis = &axis;
        return result;
    }
    int chooseLabelFont(Axis& axis) override
    {
        calls.append(QStringLiteral("chooseLabelFont"));
        lastAxis = &axis;
        return result;
    }
    int editTitle(AxisTitle&) override
    {
        calls.append(QStringLiteral("editTitle"));
        return result;
    }
    visibleobject* chooseAxis(const StringObMap& axes) override
    {
        calls.append(QStringLiteral("chooseAxis"));
        return static_cast<visibleobject*>(axes.value(axisChoice));
    }

    QStringList calls;
    Axis* lastAxis = nullptr;
    DocumentServices* lastDocument = nullptr;
    int result = 1;
    QString axisChoice; // Select Axis: the name chosen, empty for none
};

// Installs editors for one test and removes them again.
class EditorsScope
{
public:
    explicit EditorsScope(AxisEditors* editors) { AxisEditors::setInstance(editors); }
    ~EditorsScope() { AxisEditors::setInstance(nullptr); }
    EditorsScope(const EditorsScope&) = delete;
    EditorsScope& operator=(const EditorsScope&) = delete;
};
