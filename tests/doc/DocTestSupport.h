#pragma once

#include "common/FakeView.h"
#include "data/ImportSettings.h"
#include "doc/DocumentEditors.h"
#include "doc/DocumentView.h"
#include "doc/PlotDocument.h"
#include "page/visibleobject.h"
#include "platform/RecordingDC.h"
#include "platform/ScriptedPrompter.h"
#include "platform/StringObMap.h"
#include "traces/TraceEditors.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <string>

// A view of fixed size and mapping that records what its document tells it.
class TestDocView : public FixedMappingView<DocumentView>
{
public:
    explicit TestDocView(PlotDocument* d = nullptr) : doc(d)
    {
        if (doc)
            doc->AddView(this);
    }
    ~TestDocView() override
    {
        if (doc)
            doc->RemoveView(this);
    }

    DocumentServices* document() const override { return doc; }

    void OnUpdate(DocumentServices::UpdateHint hint, visibleobject* obj, const Rect*) override
    {
        updates.append({hint, obj});
    }
    void ResetView() override
    {
        ++resets;
        if (doc) {
            doc->GetObjects().SetViewAll(this);
            doc->GetObjects().RelayoutAll();
        }
    }
    QSize pageSize() const override { return page; }

    PlotDocument* doc;
    QSize page{864, 672}; // 9 x 7 inches
    QList<std::pair<DocumentServices::UpdateHint, visibleobject*>> updates;
    int resets = 0;
};

// Trace dialogs that answer as told and count how often they were asked.
class ScriptedTraceEditors : public TraceEditors
{
public:
    ScriptedTraceEditors() : previous_(TraceEditors::instance())
    {
        TraceEditors::setInstance(this);
    }
    ~ScriptedTraceEditors() override { TraceEditors::setInstance(previous_); }

    int fileSettings(Trace& trace, DocumentServices*) override
    {
        asked.append(&trace);
        return answer;
    }
    int lineSettings(Trace&) override { return 0; }
    // The Error Bar dialog runs the script on what it is given; without one it is cancelled.
    int errorBars(ColumnFile*& errorFile, int& errorColumn, filelist& files,
                  const QString& dataFilePath, PageView*) override
    {
        errorBarsOffered.append({errorFile, errorColumn, dataFilePath});
        return errorBarsScript ? errorBarsScript(errorFile, errorColumn, files) : 0;
    }
    bool chooseFont(LogFont&, ColorRef&, int&, PageView*) override { return false; }
    bool chooseColor(ColorRef&, PageView*) override { return false; }

    int answer = 0;
    QList<Trace*> asked;
    struct ErrorBarsOffer
    {
        ColumnFile* errorFile;
        int errorColumn;
        QString dataFilePath;
    };
    QList<ErrorBarsOffer> errorBarsOffered;
    std::function<int(ColumnFile*&, int&, filelist&)> errorBarsScript;

private:
    TraceEditors* previous_;
};

// Choosers that pick by name.
class ScriptedDocumentEditors : public DocumentEditors
{
public:
    ScriptedDocumentEditors() : previous_(DocumentEditors::instance())
    {
        DocumentEditors::setInstance(this);
    }
    ~ScriptedDocumentEditors() override { DocumentEditors::setInstance(previous_); }

    visibleobject* chooseObject(const StringObMap& objects) override { return pick(objects); }
    visibleobject* chooseDataSet(const StringObMap& traces) override { return pick(traces); }
    bool importSettings(const QString& path, ImportSettings& settings) override
    {
        importOffered.append(path);
        return importScript && importScript(settings);
    }

    QString choice; // empty: nothing chosen
    QStringList offered;
    QStringList importOffered;
    std::function<bool(ImportSettings&)> importScript;

private:
    visibleobject* pick(const StringObMap& map)
    {
        offered.clear();
        for (const StringObMap::Entry& e : map)
            offered.append(e.key);
        return static_cast<visibleobject*>(map.value(choice));
    }
    DocumentEditors* previous_;
};

// A document with a scripted prompter, a view and a directory for data files.
class DocFixture : public ::testing::Test
{
protected:
    QString writeFile(const QString& name, const std::string& text)
    {
        const QString path = QDir(dir.path()).filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.data(), qint64(text.size()));
        return path;
    }
    QString path(const QString& name) const { return QDir(dir.path()).filePath(name); }
    // Open Data File on a path, as if chosen in the dialog.
    void open(const QString& file)
    {
        prompter.pushFileName(file);
        ASSERT_TRUE(doc.onCommand(32770));
    }
    Trace* traceAt(int i) const { return static_cast<Trace*>(doc.GetTraces()->at(i)); }
    int traceCount() const { return doc.GetTraces()->count(); }

    QTemporaryDir dir;
    ScriptedPrompter prompter;
    PrompterScope scope{&prompter};
    PlotDocument doc;
    TestDocView view{&doc};
};
