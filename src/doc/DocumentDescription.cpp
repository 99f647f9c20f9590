#include "doc/DocumentDescription.h"

#include "axes/Axis.h"
#include "data/ColumnFile.h"
#include "data/DataColumn.h"
#include "doc/DocumentFile.h"
#include "doc/PlotDocument.h"
#include "platform/Exceptions.h"
#include "traces/MemTrace.h"
#include "traces/Trace.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTextStream>
#include <charconv>
#include <cmath>
#include <new>

namespace {

QJsonValue number(double v)
{
    if (std::isnan(v))
        return QStringLiteral("nan");
    if (std::isinf(v))
        return v > 0 ? QStringLiteral("inf") : QStringLiteral("-inf");
    return v;
}

// Page values are single precision: 1.1f reads 1.1, not 1.100000023841858.
QJsonValue number(float v)
{
    if (!std::isfinite(v))
        return number(double(v));
    char text[32];
    const auto written = std::to_chars(text, text + sizeof text, v);
    double shortest = double(v);
    std::from_chars(text, written.ptr, shortest);
    return shortest;
}

QJsonValue nameOf(const visibleobject* obj)
{
    return obj ? QJsonValue(obj->GetName()) : QJsonValue(QJsonValue::Null);
}

QJsonArray values(const DataColumn* column)
{
    QJsonArray array;
    if (!column)
        return array;
    for (int i = 0; i < column->GetSize(); ++i)
        array.append(number(column->GetAt(i)));
    return array;
}

void describeAxis(const Axis& axis, QJsonObject& o)
{
    o[QStringLiteral("length")] = number(axis.GetLength());
    o[QStringLiteral("angle")] = axis.GetAngle();
    o[QStringLiteral("start")] = number(axis.GetStart());
    o[QStringLiteral("end")] = number(axis.GetEnd());
    o[QStringLiteral("log")] = axis.GetLogScale();
    o[QStringLiteral("autoRange")] = axis.GetAutoRange();
    o[QStringLiteral("title")] = nameOf(axis.GetTitle());
    const tickstruct& t = axis.GetTicks();
    QJsonObject ticks;
    ticks[QStringLiteral("auto")] = t.autoTicks;
    ticks[QStringLiteral("first")] = number(t.firstTick);
    ticks[QStringLiteral("spacing")] = number(t.tickSpacing);
    ticks[QStringLiteral("labelInterval")] = t.labelInterval;
    ticks[QStringLiteral("showLabels")] = t.showLabels;
    ticks[QStringLiteral("labelFormat")] = int(t.labelFormat);
    ticks[QStringLiteral("autoDigits")] = t.autoDigits;
    ticks[QStringLiteral("decimalDigits")] = t.decimalDigits;
    o[QStringLiteral("ticks")] = ticks;
}

void describeTrace(const Trace& trace, bool withValues, QJsonObject& o)
{
    const ColumnFile* file = trace.GetFile();
    o[QStringLiteral("dataFile")] =
        file ? QJsonValue(file->GetFullPath()) : QJsonValue(QJsonValue::Null);
    o[QStringLiteral("xColumn")] = trace.GetXColumn();
    o[QStringLiteral("yColumn")] = trace.GetYColumn();
    o[QStringLiteral("points")] = trace.GetNumPoints();
    o[QStringLiteral("xAxis")] = nameOf(trace.GetXAxis());
    o[QStringLiteral("yAxis")] = nameOf(trace.GetYAxis());
    // A memory trace's values are stored in the document; a data file's are under dataFiles.
    if (withValues && trace.isKindOf(&MemTrace::classRecord)) {
        o[QStringLiteral("xValues")] = values(trace.GetXValues());
        o[QStringLiteral("yValues")] = values(trace.GetYValues());
    }
}

} // namespace

QJsonObject describeDocument(const PlotDocument& doc, bool withValues)
{
    QJsonArray objects;
    for (const visibleobject* obj : doc.GetObjects()) {
        QJsonObject o;
        o[QStringLiteral("class")] = QString::fromLatin1(obj->runtimeClass()->name);
        o[QStringLiteral("name")] = obj->GetName();
        o[QStringLiteral("x")] = number(obj->x);
        o[QStringLiteral("y")] = number(obj->y);
        if (obj->isKindOf(&Axis::classRecord))
            describeAxis(*static_cast<const Axis*>(obj), o);
        else if (obj->isKindOf(&Trace::classRecord))
            describeTrace(*static_cast<const Trace*>(obj), withValues, o);
        objects.append(o);
    }

    QJsonArray files;
    for (int i = 0; i < doc.GetFiles().count(); ++i) {
        ColumnFile* file = doc.GetFiles().at(i);
        QJsonObject f;
        f[QStringLiteral("path")] = file->GetFullPath();
        f[QStringLiteral("columns")] = file->GetNumColumns();
        f[QStringLiteral("points")] = file->GetNumPoints();
        if (withValues) {
            QJsonArray columns;
            for (int c = 0; c < file->GetNumColumns(); ++c)
                columns.append(values(file->GetColumn(c)));
            f[QStringLiteral("values")] = columns;
        }
        files.append(f);
    }

    QJsonArray groups;
    for (const StringObMap::Entry& entry : doc.GetLinkGroups()) {
        QJsonArray members;
        for (const visibleobject* member : *static_cast<const visiblelist*>(entry.value))
            members.append(member->GetName());
        groups.append(
            QJsonObject{{QStringLiteral("name"), entry.key}, {QStringLiteral("members"), members}});
    }

    return QJsonObject{{QStringLiteral("objects"), objects},
                       {QStringLiteral("dataFiles"), files},
                       {QStringLiteral("linkGroups"), groups}};
}

int describeCommand(const QString& path, bool values, QTextStream& out, QTextStream& err)
{
    try {
        QString error;
        QStringList notes;
        const std::unique_ptr<PlotDocument> doc = openForCommandLine(path, &error, &notes);
        if (!doc) {
            err << "plotvane: " << error << Qt::endl;
            return 1;
        }
        for (const QString& note : notes)
            err << "plotvane: " << note.simplified() << Qt::endl;
        out << QJsonDocument(describeDocument(*doc, values)).toJson(QJsonDocument::Indented);
        out.flush();
    } catch (const std::bad_alloc&) {
        err << "plotvane: not enough memory to describe '" << path << "'" << Qt::endl;
        return 1;
    } catch (const PlotvaneException&) {
        err << "plotvane: cannot describe '" << path << "'" << Qt::endl;
        return 1;
    }
    return 0;
}
