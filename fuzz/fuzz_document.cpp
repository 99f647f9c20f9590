// Feeds arbitrary bytes to the document loader: a compound file (signature D0 CF 11 E0 ...)
// goes through the container and its "Contents" stream, anything else is read as the
// "Contents" stream itself. Every input must end in a clean exception or a whole document; a
// document read must hold its objects soundly and must read back from its own saved bytes.

#include "doc/DocumentFile.h"
#include "doc/PlotDocument.h"
#include "platform/Archive.h"
#include "platform/Exceptions.h"
#include "platform/Prompter.h"
#include "traces/Trace.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>

namespace {

class SilentPrompter : public Prompter
{
public:
    void message(const QString&, const QString&, Icon) override {}
    Answer question(const QString&, const QString&, Buttons buttons, Icon) override
    {
        return cancelAnswer(buttons);
    }
    QString openFileName(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    QString saveFileName(const QString&, const QString&, const QString&, const QString&) override
    {
        return {};
    }
};

[[noreturn]] void fail(const char* what)
{
    std::fprintf(stderr, "document loader: %s\n", what);
    std::abort();
}

void checkSound(const PlotDocument& doc)
{
    const visiblelist& page = doc.GetObjects();
    for (visibleobject* obj : page) {
        if (page.indexOf(obj) != page.objects().lastIndexOf(obj))
            fail("object listed twice on the page");
        if (!obj->isKindOf(&Trace::classRecord))
            continue;
        const auto* trace = static_cast<const Trace*>(obj);
        if (trace->GetXAxis() && !page.contains(trace->GetXAxis()))
            fail("x axis of a trace not on the page");
        if (trace->GetYAxis() && !page.contains(trace->GetYAxis()))
            fail("y axis of a trace not on the page");
        if (trace->GetFile() && !doc.GetFiles().contains(trace->GetFile()))
            fail("data file of a trace not listed");
    }
    for (const StringObMap::Entry& entry : doc.GetLinkGroups()) {
        for (visibleobject* member : *static_cast<const visiblelist*>(entry.value)) {
            if (!page.contains(member))
                fail("link group member not on the page");
        }
    }
}

std::unique_ptr<PlotDocument> readSaved(const QByteArray& saved)
{
    auto doc = std::make_unique<PlotDocument>();
    try {
        Archive ar(saved);
        readDocument(*doc, ar, QStringLiteral("fuzz.pvn"));
    } catch (const PlotvaneException&) {
        fail("a saved document does not read back");
    }
    checkSound(*doc);
    return doc;
}

void compareStructure(const PlotDocument& a, const PlotDocument& b)
{
    if (a.GetObjects().count() != b.GetObjects().count() ||
        a.GetFiles().count() != b.GetFiles().count() ||
        a.GetLinkGroups().count() != b.GetLinkGroups().count())
        fail("a document read back holds other objects");
    for (int i = 0; i < a.GetObjects().count(); ++i) {
        const visibleobject* p = a.GetObjects().at(i);
        const visibleobject* q = b.GetObjects().at(i);
        if (p->runtimeClass() != q->runtimeClass() || p->GetName() != q->GetName())
            fail("a document read back has other objects or names");
    }
}

// A file name stored with a separator inside it is split anew once read, so the first saving
// may differ in such details; from then on saving and reading must agree byte for byte.
void readBack(PlotDocument& doc)
{
    const std::unique_ptr<PlotDocument> once = readSaved(documentContents(doc));
    compareStructure(doc, *once);
    const QByteArray saved = documentContents(*once);
    const std::unique_ptr<PlotDocument> twice = readSaved(saved);
    compareStructure(*once, *twice);
    const QByteArray resaved = documentContents(*twice);
    if (resaved != saved) {
        qsizetype at = 0;
        while (at < saved.size() && at < resaved.size() && saved[at] == resaved[at])
            ++at;
        std::fprintf(stderr, "saved %s\nresaved %s\nfirst difference at %lld\n",
                     saved.toHex().constData(), resaved.toHex().constData(), (long long)at);
        fail("a document read back saves differently");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Data files named by relative paths are looked for here; one of them exists.
    static QTemporaryDir dir;
    if (!dir.isValid() || !QDir::setCurrent(dir.path()))
        fail("no working directory");
    QFile data(QDir(dir.path()).filePath(QStringLiteral("run.dat")));
    if (!data.open(QIODevice::WriteOnly) || data.write("1 2 3\n2 4 9\n3 8 27\n") < 0)
        fail("cannot write run.dat");
    static SilentPrompter prompter;
    Prompter::setInstance(&prompter);
    registerDocumentClasses();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const QByteArray signature("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        if (bytes.startsWith(signature)) {
            std::unique_ptr<PlotDocument> doc =
                loadDocumentFromBytes(bytes, QStringLiteral("fuzz.pvn"));
            checkSound(*doc);
        } else {
            PlotDocument doc;
            Archive ar(bytes);
            readDocument(doc, ar, QStringLiteral("fuzz.pvn"));
            checkSound(doc);
            if (doc.GetObjects().count() != 0 || doc.GetFiles().count() != 0)
                readBack(doc);
        }
    } catch (const PlotvaneException&) {
    } catch (const std::bad_alloc&) {
    }
    if (embeddedObjectVersion() != noEmbeddedObjectVersion)
        fail("embedded object version not reset");
    return 0;
}
