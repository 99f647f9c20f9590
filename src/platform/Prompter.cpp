#include "platform/Prompter.h"

#include <QStringList>
#include <cstdio>

namespace {

// Used when no user interface is installed (command-line runs, tests): the text goes to stderr
// and every question gets the answer that changes nothing.
class StderrPrompter : public Prompter
{
public:
    void message(const QString& text, const QString& caption, Icon) override
    {
        write(caption, text);
    }
    Answer question(const QString& text, const QString& caption, Buttons buttons, Icon) override
    {
        write(caption, text);
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

private:
    static void write(const QString& caption, const QString& text)
    {
        const QByteArray line =
            (caption.isEmpty() ? text : caption + QStringLiteral(": ") + text).toLocal8Bit();
        std::fprintf(stderr, "%s\n", line.constData());
    }
};

StderrPrompter& defaultPrompter()
{
    static StderrPrompter prompter;
    return prompter;
}

} // namespace

Prompter::~Prompter() = default;

Prompter::Answer Prompter::cancelAnswer(Buttons buttons)
{
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
        break;
    }
    return Answer::Cancel;
}

QString Prompter::qtFilter(const QString& filter)
{
    if (!filter.contains(QLatin1Char('|')))
        return filter;
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString name = parts[i].trimmed();
        if (name.isEmpty())
            break;
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString p = pattern.trimmed();
            if (!p.isEmpty())
                patterns.append(p == QLatin1String("*.*") ? QStringLiteral("*") : p);
        }
        if (patterns.isEmpty())
            patterns.append(QStringLiteral("*"));
        // Qt reads the patterns from the parentheses of the entry's name, so the name's own
        // "(*.*)" is replaced by the patterns that Linux understands.
        QString label = name;
        const qsizetype open = label.lastIndexOf(QLatin1Char('('));
        if (open > 0 && label.endsWith(QLatin1Char(')')))
            label = label.left(open).trimmed();
        entries.append(label + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')'));
    }
    return entries.join(QStringLiteral(";;"));
}

Prompter& Prompter::instance()
{
    Prompter* installed = Installed<Prompter>::get();
    return installed ? *installed : defaultPrompter();
}

Prompter* Prompter::setInstance(Prompter* prompter)
{
    return Installed<Prompter>::install(prompter);
}
