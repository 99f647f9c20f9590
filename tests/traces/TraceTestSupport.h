#pragma once

#include "axes/XAxis.h"
#include "axes/YAxis.h"
#include "common/FakeView.h"
#include "data/ColumnFile.h"
#include "platform/ScriptedPrompter.h"
#include "traces/MemTrace.h"
#include "traces/Trace.h"
#include "traces/TraceEditors.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

// A document that owns its page objects and data files, walks its traces for axis ranges and
// lists its page objects, as the plot document does.
class TraceDocument : public FakeDocument, public PageObjectSource
{
public:
    bool GetAxisDataRange(const visibleobject* axis, double& min, double& max) override
    {
        bool used = false;
        for (visibleobject* obj : objects) {
            if (obj->isKindOf(&Trace::classRecord))
                used = static_cast<Trace*>(obj)->GetAxisDataRange(axis, min, max) || used;
        }
        return used;
    }
    QList<visibleobject*> pageObjects() const override { return objects; }

    // A data file read from text, named by path.
    ColumnFile* file(const std::string& text, const QString& path = QStringLiteral("/data/run.dat"))
    {
        files.push_back(std::make_unique<ColumnFile>(path));
        files.back()->ReadText(text.data(), text.size());
        return files.back().get();
    }
    // A trace on a file with its two new axes, on the page as the document puts them.
    Trace* newTrace(PageView* view, ColumnFile* f)
    {
        auto made = std::make_unique<Trace>(view, f);
        Trace* t = made.get();
        std::unique_ptr<Axis> x = t->TakeMadeXAxis();
        std::unique_ptr<Axis> y = t->TakeMadeYAxis();
        AddObject(std::move(made));
        AddObject(std::move(x));
        AddObject(std::move(y));
        return t;
    }
    template <class A> A* axis(float x, float y, float length, double start, double end)
    {
        auto made = std::make_unique<A>(nullptr);
        A* a = made.get();
        a->x = x;
        a->y = y;
        a->length = length;
        a->autoRange = 0;
        a->SetLimits(start, end);
        AddObject(std::move(made));
        return a;
    }
    void remove(visibleobject* obj) { objects.removeOne(obj); }

    std::vector<std::unique_ptr<ColumnFile>> files;
};

// Editors that answer as scripted and remember what they were asked.
class ScriptedTraceEditors : public TraceEditors
{
public:
    int fileSettings(Trace&, DocumentServices*) override
    {
        calls.append(QStringLiteral("fileSettings"));
        return result;
    }
    int lineSettings(Trace&) override
    {
        calls.append(QStringLiteral("lineSettings"));
        return result;
    }
    int errorBars(ColumnFile*&, int&, filelist&, const QString&, PageView*) override
    {
        calls.append(QStringLiteral("errorBars"));
        return result;
    }
    bool chooseFont(LogFont& font, ColorRef& color, int& size, PageView*) override
    {
        calls.append(QStringLiteral("chooseFont"));
        offeredFont = font;
        if (!result)
            return false;
        font = chosenFont;
        color = chosenColor;
        size = chosenSize;
        return true;
    }
    bool chooseColor(ColorRef& color, PageView*) override
    {
        calls.append(QStringLiteral("chooseColor"));
        offeredColor = color;
        if (!result)
            return false;
        color = chosenColor;
        return true;
    }

    QStringList calls;
    int result = 1;
    LogFont offeredFont;
    LogFont chosenFont;
    ColorRef offeredColor = 0;
    ColorRef chosenColor = 0;
    int chosenSize = 0;
};

using TraceEditorsScope = Installed<TraceEditors>::Scope;

// A view (96 dpi, 800 x 600, page origin at the bottom-left) on a TraceDocument.
struct TraceFixture : ::testing::Test
{
    TraceFixture() { view.doc = &doc; }

    // A memory trace over fixed axes: x 0..10 on 5 inches, y 0..100 on 4 inches, at (1, 1).
    MemTrace* memTrace(const std::vector<double>& xs, const std::vector<double>& ys)
    {
        if (!xAxis) {
            xAxis = doc.axis<XAxis>(1, 1, 5, 0, 10);
            yAxis = doc.axis<YAxis>(1, 1, 4, 0, 100);
            xAxis->view = yAxis->view = &view;
        }
        Trace source;
        source.view = &view;
        source.SetXAxis(xAxis);
        source.SetYAxis(yAxis);
        auto made = std::make_unique<MemTrace>(xs.data(), ys.data(),
                                               int(std::min(xs.size(), ys.size())), source);
        MemTrace* t = made.get();
        doc.AddObject(std::move(made));
        return t;
    }

    TraceDocument doc;
    FakeView view;
    XAxis* xAxis = nullptr;
    YAxis* yAxis = nullptr;
};
